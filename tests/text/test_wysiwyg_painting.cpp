// What elements draw from their layout, at any zoom and at printer resolution,
// and widths that come out the same every time.

#include "CBasePgCtrl.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"
#include "CWYSIWYGEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextItem>
#include <climits>
#include <cstdio>
#include <gtest/gtest.h>

namespace {
// Records where each piece of text is drawn.
class TRecordingEngine : public QPaintEngine
{
public:
    struct TItem
    {
        QPointF At;
        QString Text;
    };
    TRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) { }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override { }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
    // Rectangles and lines end up here.
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
    void drawPath(const QPainterPath &) override { }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        Items.append({p, item.text()});
    }
    Type type() const override { return QPaintEngine::User; }

    QList<TItem> Items;
};

class TRecordingDevice : public QPaintDevice
{
public:
    TRecordingDevice(QSize size, int dpi) : m_size(size), m_dpi(dpi) { }
    QPaintEngine *paintEngine() const override { return &Engine; }

    mutable TRecordingEngine Engine;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        if (metric == PdmWidth || metric == PdmHeight)
            return metric == PdmWidth ? m_size.width() : m_size.height();
        if (metric == PdmDpiX || metric == PdmDpiY || metric == PdmPhysicalDpiX
            || metric == PdmPhysicalDpiY)
            return m_dpi;
        if (metric == PdmDevicePixelRatioScaled)
            return int(devicePixelRatioFScale());
        return metric == PdmDepth ? 32 : 1;
    }

private:
    QSize m_size;
    int m_dpi;
};

class Painting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        page->resize(1200, 1600);
        box = CreateComponent<TVisualPgCtrl>(nullptr);
        box->setParent(page.get());
    }
    // Places the element at a share of the paper, as a document read from a file does.
    void Place(Extended left, Extended top, Extended width, Extended height)
    {
        box->SetBaseRelLeft(left);
        box->SetBaseRelTop(top);
        box->SetBaseRelWidth(width);
        box->SetBaseRelHeight(height);
        box->UpdateBounds(box->RelBoundsRect(page->PaperRect()));
    }
    TWYSIWYGEngine &Engine() { return *box->WYSIWYGEngine(); }

    std::unique_ptr<TPrinterPage> page = std::make_unique<TPrinterPage>(nullptr);
    TVisualPgCtrl *box = nullptr;
};

int DarkPixels(const QImage &image, const QRect &area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}
} // namespace

TEST_F(Painting, EveryZoomAndThePrinterBreakAtTheSameCharactersWhereTheLayoutSays)
{
    box->VisualParagraphProps()->SetParagraphWrap(true);
    box->SetText(QStringLiteral("The quick brown fox jumps over the lazy dog, twice over."));
    Place(10, 10, 30, 8);
    QList<QList<QString>> linesPerTarget;
    QString wrapped;

    for (int zoom : {50, 100, 173, 400, 0}) {
        const bool printing = zoom == 0;
        QRect target = box->rect();
        if (printing) {
            target = QRect(0, 0, int(Round(page->PageWidthPixels() * box->BaseRelWidth() / 100)),
                           int(Round(page->PageHeightPixels() * box->BaseRelHeight() / 100)));
        } else {
            page->SetZoom(zoom);
            target = box->rect();
        }
        TRecordingDevice device(target.size(), printing ? 600 : 96);
        {
            QPainter painter(&device);
            box->DoPaint(target, painter, !printing);
        }
        // Laid out by the first paint, never again.
        if (wrapped.isEmpty())
            wrapped = Engine().WrappedText();
        EXPECT_EQ(Engine().WrappedText(), wrapped) << zoom;
        const QList<TRecordingEngine::TItem> &items = device.Engine.Items;

        // The drawn glyphs are the visible entries, in order, each at its X scaled.
        QList<QString> lines;
        qreal baseline = -1;
        int drawn = 0;
        for (int i = 0; i < Engine().TextDataCount() - 1; ++i) {
            const TWYSIWYGEngineChar &e = *Engine().TextData(i);
            if (e.Ch.unicode() < 32)
                continue;
            ASSERT_LT(drawn, items.size()) << zoom;
            const TRecordingEngine::TItem &item = items[drawn++];
            EXPECT_EQ(item.Text, QString(e.Ch)) << zoom;
            EXPECT_LE(std::abs(item.At.x() - double(e.X / 100 * target.width())), 1.0)
                << "zoom " << zoom << " char " << i;
            if (item.At.y() != baseline) {
                lines.append(QString());
                baseline = item.At.y();
            }
            lines.last().append(item.Text);
            EXPECT_EQ(lines.size(), e.Line) << zoom;
        }
        EXPECT_EQ(drawn, items.size()) << zoom;
        linesPerTarget.append(lines);
    }
    ASSERT_GE(linesPerTarget.first().size(), 2);
    for (const QList<QString> &lines : linesPerTarget)
        EXPECT_EQ(lines, linesPerTarget.first());
}

TEST_F(Painting, ElementsShowTheirDefaultTextOnThePageWithoutBeingToldToLayOut)
{
    box->SetText(QStringLiteral("Name"));
    Place(10, 10, 30, 3);
    page->show();
    box->show();
    EXPECT_TRUE(Engine().NeedsBuild());
    const QImage shot = page->grab().toImage();
    EXPECT_FALSE(Engine().NeedsBuild());
    EXPECT_GT(DarkPixels(shot, box->geometry()), 20);
    EXPECT_EQ(Engine().TextDataCount(), 5);
}

TEST_F(Painting, FixedBoxesAreFilledAndOutlinedWithGlyphsCentred)
{
    TPropGroupParagraph *paragraph = box->VisualParagraphProps();
    TPropGroupFixed *boxes = paragraph->ParagraphFixed();
    paragraph->SetParagraphStyle(psFixed);
    boxes->FixedFillProps()->SetFillColor(clYellow);
    boxes->FixedFillProps()->SetFillTransparent(false);
    boxes->FixedBorderProps()->SetBorderWidth(1);
    boxes->FixedBorderProps()->SetBorderColor(clRed);
    boxes->SetFixedWidth(10);
    boxes->SetFixedHeight(10);
    box->SetText(QStringLiteral("W"));
    page->SetZoom(200);
    // Four 10 mm boxes across.
    Place(10, 10, 40.5L * 100 / page->PageWidth(), 10.5L * 100 / page->PageHeight());
    box->BuildWYSIWYGInf(true, false);
    ASSERT_EQ(Engine().FixedBordersDataCount(), 5);

    QImage image(box->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        box->DoPaint(box->rect(), painter, true);
    }
    const auto boxRect = [&](int i) {
        const TWYSIWYGEngineChar &e = *Engine().FixedBordersData(i);
        const auto px = [](Extended v, int extent) {
            return int(Round(v / 100 * extent));
        };
        return QRect(
            QPoint(px(e.X, image.width()), px(e.Y, image.height())),
            QPoint(px(e.X + e.Width, image.width()) - 1, px(e.Y + e.Height, image.height()) - 1));
    };
    const QRect empty = boxRect(2);
    EXPECT_EQ(image.pixelColor(empty.center()), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(empty.topLeft() + QPoint(1, 1)), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(empty.bottomRight()), QColor(Qt::red));

    // The glyph's ink sits in the middle of its box.
    const QRect first = boxRect(0).adjusted(2, 2, -2, -2);
    QRect ink;
    for (int y = first.top(); y <= first.bottom(); ++y)
        for (int x = first.left(); x <= first.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(std::abs(ink.center().x() - first.center().x()), 3);
    EXPECT_LE(std::abs(ink.center().y() - first.center().y()), 8);
}

TEST_F(Painting, TheSelectionShowsWhiteOnNavyOnScreenOnlyWhileFocused)
{
    box->SetText(QStringLiteral("abcdef"));
    page->SetZoom(200);
    Place(10, 10, 20, 3);
    box->BuildWYSIWYGInf(true, false);
    box->SetSelStart(4);
    box->SetSelLength(-3); // characters 1 to 3
    const auto navyColumns = [&](bool onScreen) {
        QImage image(box->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            box->DoPaint(box->rect(), painter, onScreen);
        }
        int from = INT_MAX, to = -1;
        const int y = image.height() / 8;
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QColor(0, 0, 0x80)) {
                from = qMin(from, x);
                to = qMax(to, x);
            }
        return std::pair {from, to};
    };
    EXPECT_EQ(navyColumns(true).second, -1);

    box->SetFocus(QPoint(-1, -1));
    ASSERT_TRUE(box->Focused());
    const auto [from, to] = navyColumns(true);
    const auto x = [&](int i) {
        return int(Round(Engine().TextData(i)->X / 100 * box->width()));
    };
    EXPECT_EQ(from, x(1));
    EXPECT_EQ(to, x(4) - 1);
    EXPECT_EQ(navyColumns(false).second, -1);
    box->KillFocus();
}

TEST_F(Painting, WidthsAreTheSameEveryTimeAndInEveryProcess)
{
    const QString sample = QStringLiteral("AaBbWwIil1.,;: !?0123456789\u00e9\u00df\u20ac\u0416");
    const auto measure = [&]() {
        QStringList rows;
        Place(10, 10, 50, 5);
        for (const char *family : {"Arial", "Times New Roman", "Courier New"}) {
            box->VisualCharacterProps()->SetCharacterFont(QString::fromLatin1(family));
            for (int size : {7, 10, 13}) {
                box->VisualCharacterProps()->SetCharacterSize(size);
                box->SetText(QStringLiteral("x"));
                box->BuildWYSIWYGInf(true, false);
                QString row = QStringLiteral("%1 %2:").arg(QLatin1String(family)).arg(size);
                for (QChar c : sample) {
                    char exact[64];
                    std::snprintf(exact, sizeof exact, " %La",
                                  Engine().TextWidth(QStringView(&c, 1)));
                    row += QLatin1String(exact);
                }
                rows.append(row);
            }
        }
        return rows;
    };
    const QStringList first = measure();

    const QByteArray out = qgetenv("VELORA_TEXT_WIDTHS_OUT");
    if (!out.isEmpty()) {
        QFile file(QString::fromLocal8Bit(out));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(first.join(QLatin1Char('\n')).toUtf8());
        return;
    }

    // Measured afresh on a new reference canvas.
    WYSIWYGEngineRefreshPrnPgRefs();
    EXPECT_EQ(measure(), first);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("widths.txt"));
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess other;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELORA_TEXT_WIDTHS_OUT"), file);
    other.setProcessEnvironment(env);
    other.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2")
                     .arg(QLatin1String(info->test_suite_name()), QLatin1String(info->name()))});
    ASSERT_TRUE(other.waitForFinished(60000));
    ASSERT_EQ(other.exitCode(), 0) << other.readAllStandardOutput().toStdString();
    QFile result(file);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(result.readAll()).split(QLatin1Char('\n')), first);
}
