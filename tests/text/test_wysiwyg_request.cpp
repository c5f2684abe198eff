// The engine lays out a layout request on its own: no element, no page.

#include "CWYSIWYGEngine.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {
// A source that is nothing but a request, and notes the boxes it is asked to draw.
class TPlainSource : public TWYSIWYGLayoutSource
{
public:
    TWYSIWYGLayoutRequest LayoutRequest() const override { return Request; }
    void DrawFixedBox(QPainter &, const QRect &box, bool) override { Boxes.append(box); }

    TWYSIWYGLayoutRequest Request;
    QList<QRect> Boxes;
};

TWYSIWYGLayoutRequest Request(int width, int height)
{
    TWYSIWYGLayoutRequest request;
    request.Placed = true;
    request.Ref = {0, 0, width, height};
    request.Area = {10, 10, width - 10, height - 10};
    request.FontFamily = QStringLiteral("Arial");
    request.FontPoints = 10;
    request.PrinterPixelsPerInchX = 600;
    request.PrinterPixelsPerInchY = 600;
    return request;
}
} // namespace

TEST(LayoutRequest, PlainTextWrapsIntoTheRequestedArea)
{
    TPlainSource source;
    source.Request = Request(600, 400);
    TWYSIWYGEngine engine(&source);
    ASSERT_TRUE(engine.NeedsBuild());
    engine.BuildWYSIWYGData(true, QStringLiteral("one two three four five six seven"), true);
    EXPECT_FALSE(engine.NeedsBuild());
    ASSERT_GT(engine.LineNo(), 0);
    // Every character inside the area, in percent of the element's width.
    for (int i = 0; i + 1 < engine.TextDataCount(); ++i) {
        const TWYSIWYGEngineChar *c = engine.TextData(i);
        EXPECT_GE(c->X, 10.0L * 100 / 600 - 1e-9L) << i;
        EXPECT_LE(c->X + c->Width, 590.0L * 100 / 600 + 1e-9L) << i;
    }
    // A new size asks for a new build; an unplaced source never does.
    source.Request.Ref.Right = 800;
    EXPECT_TRUE(engine.NeedsBuild());
    source.Request.Placed = false;
    EXPECT_FALSE(engine.NeedsBuild());
}

TEST(LayoutRequest, FixedBoxesComeFromMillimetresAtThePrinterResolution)
{
    TPlainSource source;
    source.Request = Request(1200, 200);
    source.Request.Area = {0, 0, 1200, 200};
    source.Request.Style = psFixed;
    source.Request.FixedWidth = 25.4L; // 600 printer pixels
    source.Request.FixedHeight = 5;
    TWYSIWYGEngine engine(&source);
    engine.BuildWYSIWYGData(true, QStringLiteral("AB"), false);
    EXPECT_NEAR(double(engine.CellWidth()), 600.0, 1e-6);
    ASSERT_EQ(engine.FixedBordersDataCount(), 3); // two boxes and the end entry

    // The source draws each box at the target's scale.
    QImage image(120, 20, QImage::Format_ARGB32);
    QPainter canvas(&image);
    engine.DrawFixedBorders(canvas, QRect(0, 0, 120, 20), true);
    // 5 mm of a 200-pixel element is 59 % of it.
    EXPECT_EQ(source.Boxes, (QList<QRect> {QRect(0, 0, 60, 12), QRect(60, 0, 60, 12)}));
}
