#pragma once
// What a printed PDF holds, as the poppler tools read it back.

#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

struct TWord
{
    QString Text;
    double X = 0; // points from the page's top left corner
    double Y = 0;
    double XMax = 0;
    double YMax = 0;
};

// Where each word of each page landed, as the PDF tells it.
inline QList<QList<TWord>> PdfWords(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    tool.waitForFinished(30000);
    const QString html = QString::fromUtf8(tool.readAllStandardOutput());
    QList<QList<TWord>> pages;
    static const QRegularExpression page(QStringLiteral("<page "));
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)</word>"));
    for (const QString &chunk : html.split(page).mid(1)) {
        QList<TWord> words;
        for (auto it = word.globalMatch(chunk); it.hasNext();) {
            const auto m = it.next();
            words << TWord {m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                            m.captured(3).toDouble(), m.captured(4).toDouble()};
        }
        pages << words;
    }
    return pages;
}

// Page sizes in points, as "WxH".
inline QStringList PdfPageSizes(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"),
               {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                QStringLiteral("99"), pdf});
    tool.waitForFinished(30000);
    QStringList sizes;
    static const QRegularExpression size(QStringLiteral("Page +\\d+ size: +([0-9.]+) x ([0-9.]+)"));
    for (auto it = size.globalMatch(QString::fromUtf8(tool.readAllStandardOutput()));
         it.hasNext();) {
        const auto m = it.next();
        sizes << QStringLiteral("%1x%2")
                     .arg(qRound(m.captured(1).toDouble()))
                     .arg(qRound(m.captured(2).toDouble()));
    }
    return sizes;
}
