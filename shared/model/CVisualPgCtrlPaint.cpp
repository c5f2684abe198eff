#include "CBasePgCtrl.h"

#include "CGlobal.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"
#include "CWYSIWYGEngine.h"

#include <QPainter>
#include <climits>

// ---------------------------------------------------------------------------
// TVisualPgCtrl: painting and the text layout

QRect TVisualPgCtrl::ScaledRect(const QRect &rect, const QMargins &m, bool onScreen) const
{
    // Lengths are screen pixels at 100 %; printing first converts them to printer pixels.
    const TPrinterPage *page = ParentPage();
    const auto horz = [&](int v) -> int {
        if (!page)
            return v;
        if (!onScreen)
            return int(
                Round(Extended(v) * page->PrinterPixelsPerInchX() / page->ScreenPixelsPerInchX()));
        return page->Scale(v);
    };
    const auto vert = [&](int v) -> int {
        if (!page)
            return v;
        if (!onScreen)
            return int(
                Round(Extended(v) * page->PrinterPixelsPerInchY() / page->ScreenPixelsPerInchY()));
        return page->Scale(v);
    };
    return rect.adjusted(horz(m.left()), vert(m.top()), -horz(m.right()), -vert(m.bottom()));
}

QRect TVisualPgCtrl::AdjRectBy(const QRect &rect, TPropGroupBorder *border, TPropGroupPad *pad,
                               bool firstMargins, bool secondMargins, bool onScreen) const
{
    QRect r = rect;
    if (firstMargins)
        r = ScaledRect(r, FirstInnerMargins, onScreen);
    if (border) {
        const int b = border->BorderWidth();
        r = ScaledRect(r, QMargins(b, b, b, b), onScreen);
    }
    if (pad)
        r = ScaledRect(r,
                       QMargins(pad->PadLeft(), pad->PadTop(), pad->PadRight(), pad->PadBottom()),
                       onScreen);
    if (secondMargins)
        r = ScaledRect(r, SecondInnerMargins, onScreen);
    return r;
}

void TVisualPgCtrl::DrawFill(const QRect &rect, QPainter &canvas, TPropGroupBorder *,
                             TPropGroupFill *fill, bool ellipse, bool onScreen)
{
    if (!fill || fill->FillColor() == clNone || (!onScreen && !fill->FillPublish()))
        return;
    const QRect r = AdjRectBy(rect, nullptr, nullptr, true, false, onScreen);
    canvas.save();
    const QColor color = ColorToQColor(fill->FillColor());
    if (fill->FillTransparent())
        canvas.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    canvas.setPen(Qt::NoPen);
    canvas.setBrush(color);
    if (ellipse) {
        canvas.setRenderHint(QPainter::Antialiasing, false);
        canvas.drawEllipse(r);
    } else {
        canvas.fillRect(r, color);
    }
    canvas.restore();
}

void TVisualPgCtrl::DrawBorder(const QRect &rect, QPainter &canvas, TPropGroupBorder *border,
                               bool ellipse, bool onScreen)
{
    if (!border)
        return;
    const QRect r = AdjRectBy(rect, nullptr, nullptr, true, false, onScreen);
    canvas.save();
    canvas.setBrush(Qt::NoBrush);
    if (border->BorderWidth() > 0) {
        if (!onScreen && !border->BorderPublish()) {
            canvas.restore();
            return;
        }
        const TPrinterPage *page = ParentPage();
        int w = border->BorderWidth();
        if (page)
            w = onScreen ? page->Scale(w)
                         : int(Round(Extended(page->PrinterPixelsPerInchX())
                                     / page->ScreenPixelsPerInchX() * w));
        w = qMax(1, w);
        const QColor color = ColorToQColor(border->BorderColor());
        if (ellipse) {
            // Inside the frame, as the border never grows the element.
            canvas.setPen(QPen(color, w));
            canvas.drawEllipse(QRectF(r).adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0));
        } else {
            canvas.fillRect(QRect(r.left(), r.top(), r.width(), w), color);
            canvas.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), color);
            canvas.fillRect(QRect(r.left(), r.top(), w, r.height()), color);
            canvas.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), color);
        }
    } else if (!GlobalFilling && onScreen) {
        // Keeps a borderless element visible while designing.
        const bool locked = m_general && m_general->GeneralLocked();
        canvas.setPen(QPen(locked ? Qt::red : Qt::green, 0, Qt::DotLine));
        canvas.drawRect(r.adjusted(0, 0, -1, -1));
    }
    canvas.restore();
}

TWYSIWYGLayoutRequest TVisualPgCtrl::LayoutRequest() const
{
    TWYSIWYGLayoutRequest request;
    const TPrinterPage *page = ParentPage();
    // The groups exist only once construction is complete.
    if (!page || !m_character || !m_paragraph)
        return request;
    request.Placed = true;
    TWYSIWYGRect &ref = request.Ref;
    ref.Right = int(Round(page->PageWidthPixels() / 100.0L * BaseRelWidth()));
    ref.Bottom = int(Round(page->PageHeightPixels() / 100.0L * BaseRelHeight()));
    if (ref.Right > 0 && ref.Bottom > 0) {
        const QRect area
            = AdjRectBy(QRect(0, 0, ref.Right, ref.Bottom), m_border, m_pad, true, true, false);
        request.Area
            = {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    }
    request.FontFamily = m_character->CharacterFont();
    request.FontStyle = m_character->CharacterStyle();
    request.FontPoints = m_character->CharacterSize();
    request.Style = m_paragraph->ParagraphStyle();
    request.HorzAlign = m_paragraph->ParagraphHorzAlign();
    request.VertAlign = m_paragraph->ParagraphVertAlign();
    request.Direction = m_paragraph->ParagraphDirection();
    const TPropGroupFixed *boxes = m_paragraph->ParagraphFixed();
    request.FixedWidth = boxes->FixedWidth();
    request.FixedHeight = boxes->FixedHeight();
    request.FixedHorzGap = boxes->FixedHorzGap();
    request.FixedVertGap = boxes->FixedVertGap();
    request.PrinterPixelsPerInchX = page->PrinterPixelsPerInchX();
    request.PrinterPixelsPerInchY = page->PrinterPixelsPerInchY();
    return request;
}

void TVisualPgCtrl::DrawFixedBox(QPainter &canvas, const QRect &box, bool onScreen)
{
    TPropGroupFixed *boxes = m_paragraph->ParagraphFixed();
    DrawFill(box, canvas, boxes->FixedBorderProps(), boxes->FixedFillProps(), false, onScreen);
    DrawBorder(box, canvas, boxes->FixedBorderProps(), false, onScreen);
}

void TVisualPgCtrl::DrawFixedBorders(const QRect &rect, QPainter &canvas, bool onScreen)
{
    m_engine->DrawFixedBorders(canvas, rect, onScreen);
}

void TVisualPgCtrl::DrawText(const QRect &rect, QPainter &canvas, int first, int last,
                             bool onScreen, TColor color)
{
    // The selection belongs to the editor: never printed, never left behind.
    const bool selection = onScreen && m_focused;
    m_engine->DrawText(canvas, rect, first, last, ColorToQColor(color), selection ? m_selStart : 0,
                       selection ? m_selLength : 0);
}

void TVisualPgCtrl::DoPaint(const QRect &rect, QPainter &canvas, bool onScreen)
{
    // Placed on a page or resized without a relayout yet.
    if (m_engine->NeedsBuild())
        BuildWYSIWYGInf(true, false);
    DrawFill(rect, canvas, m_border, m_fill, false, onScreen);
    if (PropGroupIsFixedStyle())
        DrawFixedBorders(rect, canvas, onScreen);
    canvas.save();
    if (onScreen)
        canvas.setClipRect(AdjRectBy(rect, m_border, m_pad, false, false, true));
    DrawText(rect, canvas, 1, INT_MAX, onScreen, m_character->CharacterColor());
    canvas.restore();
    DrawBorder(rect, canvas, m_border, false, onScreen);
}

void TVisualPgCtrl::BuildWYSIWYGInf(bool reset, bool invalidate)
{
    // While a document is read every property would lay the text out again;
    // the first paint lays it out once instead.
    if (reset && (IsLoading() || GlobalLoadingProject)) {
        m_engine->Invalidate();
        if (invalidate)
            update();
        return;
    }
    // The groups exist only once construction is complete.
    if (m_character && m_paragraph)
        m_engine->BuildWYSIWYGData(reset, DisplayText(Text()), m_paragraph->ParagraphWrap());
    if (invalidate)
        update();
}

QString TVisualPgCtrl::DisplayText(const QString &text) const
{
    return m_character->CharacterStyle().testFlag(csUpperCase) ? text.toUpper() : text;
}
