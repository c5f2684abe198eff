// Writes the example forms through the model, as the programs would save
// them: generate-examples OUTPUT_FOLDER.

#include "CAppPaths.h"
#include "CDocumentBuilder.h"
#include "CFillerScrollBox.h"
#include "CGlobal.h"
#include "CPrinterService.h"
#include "CProjectProps.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {
constexpr int kDpi = 150;

int Px(double mm)
{
    return int(mm / 25.4 * kDpi + 0.5);
}

// A pre-printed sheet: a title, labelled boxes, and a comb row for an identifier.
QByteArray PrintedSheet(QSizeF paperMm, const QString &title, const QStringList &labels)
{
    QImage image(Px(paperMm.width()), Px(paperMm.height()), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(kDpi / 0.0254));
    image.setDotsPerMeterY(int(kDpi / 0.0254));
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont heading(QStringLiteral("Liberation Sans"));
    heading.setPixelSize(Px(7));
    heading.setBold(true);
    p.setFont(heading);
    p.setPen(QColor(0x1F, 0x3A, 0x68));
    p.drawText(QRect(Px(15), Px(12), Px(paperMm.width() - 30), Px(12)), Qt::AlignLeft, title);
    p.fillRect(QRect(Px(15), Px(25), Px(paperMm.width() - 30), Px(0.8)), QColor(0x1F, 0x3A, 0x68));

    QFont label(QStringLiteral("Liberation Sans"));
    label.setPixelSize(Px(3.5));
    p.setFont(label);
    double y = 35;
    for (const QString &text : labels) {
        p.setPen(Qt::black);
        p.drawText(QPointF(Px(15), Px(y)), text);
        p.setPen(QPen(QColor(0x80, 0x80, 0x80), Px(0.3)));
        p.drawRect(QRect(Px(60), Px(y - 5), Px(paperMm.width() - 75), Px(8)));
        y += 14;
    }
    // Comb boxes: one character each, as on printed stationery.
    p.setPen(Qt::black);
    p.drawText(QPointF(Px(15), Px(y)), QStringLiteral("Identifier"));
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), Px(0.3)));
    for (int i = 0; i < 9; ++i)
        p.drawRect(QRect(Px(60 + i * 7), Px(y - 5), Px(6), Px(8)));
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.drawText(QPointF(Px(15), Px(paperMm.height() - 12)),
               QStringLiteral("Velora example form. Values print into the boxes above."));
    p.end();

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

bool WriteWelcome(const QString &path)
{
    TDocumentBuilder doc;
    const struct
    {
        const char *Caption;
        int Paper; // printer paper code
        QSizeF SizeMm;
        const char *Title;
        QStringList Labels;
    } pages[] = {
        {"Employee",
         9,
         QSizeF(210, 297),
         "Employee Details",
         {QStringLiteral("Surname"), QStringLiteral("First names"), QStringLiteral("Address"),
          QStringLiteral("E-mail"), QStringLiteral("Salary")}},
        {"Contact",
         1,
         QSizeF(215.9, 279.4),
         "Emergency Contact",
         {QStringLiteral("Name"), QStringLiteral("Relationship"), QStringLiteral("Telephone")}},
    };
    for (const auto &page : pages) {
        const int index = doc.AddPage(QString::fromLatin1(page.Caption));
        TProjectPropsPageProps *settings = doc.Settings(index);
        {
            TGlobalFlagScope adding(GlobalAddingPage);
            settings->PagePaperProps()->SetPaperSize(page.Paper);
        }
        settings->PageBackgroundProps()->SetFileNameImage(
            PrintedSheet(page.SizeMm, QString::fromLatin1(page.Title), page.Labels));
        settings->SetPageDefaultView(dvFitToWidth);
    }
    return doc.Save(path);
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    GlobalInitPaths();
    if (argc < 2) {
        std::fprintf(stderr, "usage: generate-examples OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "generate-examples: cannot create %s\n", argv[1]);
        return 1;
    }
    // Paper sizes come from the built-in printer, the same on every machine.
    PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
    const QString welcome = QDir(folder).filePath(QStringLiteral("Welcome.vld"));
    if (!WriteWelcome(welcome)) {
        std::fprintf(stderr, "generate-examples: cannot write %s\n", qPrintable(welcome));
        return 1;
    }
    return 0;
}
