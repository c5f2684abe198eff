#include "CComboInPlaceList.h"

#include "CBaseRTEditFocusCtrl.h"
#include "CCombo.h"
#include "CComboInPlaceEdit.h"
#include "CGlobal.h"
#include "CPrinterPage.h"
#include "CWYSIWYGEngine.h"

#include <QApplication>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {
const QString kCRLF = QStringLiteral("\r\n");

// Every property the two groups share, so the list looks as the combo's list settings say.
void CopyGroup(const QObject *from, QObject *to)
{
    if (!from || !to)
        return;
    const QMetaObject *meta = to->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isWritable() || qstrcmp(property.name(), "objectName") == 0)
            continue;
        const QVariant value = from->property(property.name());
        if (value.isValid())
            property.write(to, value);
    }
}
} // namespace

// ---------------------------------------------------------------------------
// Look groups

bool TComboInPlaceListBorderPropGroup::PropUsed(const QString &name) const
{
    return name.compare(QLatin1String("BorderPublish"), Qt::CaseInsensitive) != 0
        && TPropGroupBorder::PropUsed(name);
}

TComboInPlaceListFillPropGroup::TComboInPlaceListFillPropGroup(QObject *owner)
    : TPropGroupFill(owner)
{
    SetFillColor(clWhite);
}

bool TComboInPlaceListFillPropGroup::PropUsed(const QString &name) const
{
    return name.compare(QLatin1String("FillPublish"), Qt::CaseInsensitive) != 0
        && TPropGroupFill::PropUsed(name);
}

// ---------------------------------------------------------------------------
// TComboPropGroupList

TComboPropGroupList::TComboPropGroupList(TCustomCombo *owner)
    : TPropGroup(owner), m_combo(owner), m_border(new TComboInPlaceListBorderPropGroup(this)),
      m_character(new TComboInPlaceListCharPropGroup(this)),
      m_fill(new TComboInPlaceListFillPropGroup(this)),
      m_pad(new TComboInPlaceListPadPropGroup(this))
{ }

void TComboPropGroupList::SetListItems(const QString &value)
{
    QString items = value;
    items.replace(u';', u'\n');
    items.replace(kCRLF, QStringLiteral("\n"));
    items.replace(u'\r', u'\n');
    items.replace(u'\n', kCRLF);
    Change(m_items, items, ItemsChanged);
}

QStringList TComboPropGroupList::Items() const
{
    if (m_items.isEmpty())
        return {};
    QStringList items = m_items.split(kCRLF);
    // A closing line break does not make an item.
    if (items.size() > 1 && items.constLast().isEmpty())
        items.removeLast();
    if (m_sorted)
        std::stable_sort(items.begin(), items.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
    return items;
}

void TComboPropGroupList::PropertyChanged(int code)
{
    // Which entries show the prompt depends on the items and the kind.
    if (!OwnerLoading() && (code == ItemsChanged || code == TypeChanged || code == SortedChanged))
        m_combo->PropGroupRelayout(true);
    TPropGroup::PropertyChanged(code);
}

// ---------------------------------------------------------------------------
// TComboInPlaceList

TComboInPlaceList::TComboInPlaceList(TComponent *owner)
    : TVisualPgCtrl(owner), m_scrollBar(new QScrollBar(Qt::Vertical, this))
{
    m_scrollBar->hide();
    m_scrollBar->setFocusPolicy(Qt::NoFocus);
    connect(m_scrollBar, &QScrollBar::valueChanged, this,
            [this](int value) { SetFirstVisibleItem(value); });
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void TComboInPlaceList::Assign(TCustomCombo *combo, TComboInPlaceEdit *editor)
{
    m_editor = editor;
    TComboPropGroupList *list = combo->ComboListProps();
    m_items = list->Items();
    CopyGroup(list->ListBorderProps(), VisualBorderProps());
    CopyGroup(list->ListCharacterProps(), VisualCharacterProps());
    CopyGroup(list->ListFillProps(), VisualFillProps());
    CopyGroup(list->ListPadProps(), VisualPadProps());
    // Never on paper, even if a print starts while it is open.
    VisualBorderProps()->SetBorderPublish(false);
    VisualFillProps()->SetFillPublish(false);
    // The list covers what lies under it.
    VisualFillProps()->SetFillTransparent(false);
    if (VisualFillProps()->FillColor() == clNone)
        VisualFillProps()->SetFillColor(clWhite);
    VisualGeneralProps()->SetGeneralPublish(false);
    VisualParagraphProps()->SetParagraphHorzAlign(
        combo->VisualParagraphProps()->ParagraphHorzAlign());
    VisualParagraphProps()->SetParagraphVertAlign(taAlignTop);
    VisualParagraphProps()->SetParagraphWrap(false);
    m_visibleRows = qBound(1, list->ListDropRows(), qMax(1, ItemCount()));
    m_itemIndex = -1;
    m_firstVisible = 0;
    m_scrollBar->setRange(0, qMax(0, ItemCount() - m_visibleRows));
    m_scrollBar->setPageStep(m_visibleRows);
}

int TComboInPlaceList::FindItem(const QString &text) const
{
    return GlobalStrInList(text, QString(), &m_items);
}

void TComboInPlaceList::SetItemIndex(int index)
{
    m_itemIndex = ItemCount() == 0 ? -1 : qBound(-1, index, ItemCount() - 1);
    int first = m_firstVisible;
    if (m_itemIndex >= 0) {
        if (m_itemIndex < first)
            first = m_itemIndex;
        else if (m_itemIndex >= first + m_visibleRows)
            first = m_itemIndex - m_visibleRows + 1;
    }
    if (first != m_firstVisible)
        SetFirstVisibleItem(first);
    else
        update();
}

void TComboInPlaceList::SetFirstVisibleItem(int first)
{
    first = qBound(0, first, qMax(0, ItemCount() - m_visibleRows));
    const bool moved = first != m_firstVisible;
    m_firstVisible = first;
    {
        const QSignalBlocker blocker(m_scrollBar);
        m_scrollBar->setValue(first);
    }
    if (moved)
        LayOutRows();
    update();
}

void TComboInPlaceList::LayOutRows()
{
    const QStringList rows = m_items.mid(m_firstVisible, m_visibleRows);
    // Straight to the text: the list is no entry of the form, so no one is told it changed.
    TBasePgCtrl::SetText(rows.join(kCRLF));
    BuildWYSIWYGInf(true, false);
}

int TComboInPlaceList::ItemIndexFromPos(const QPoint &point)
{
    const int index = BaseRTEditFocusCtrlChrIdxFromPos(this, point, -1, true);
    const TWYSIWYGEngineChar *entry = WYSIWYGEngine()->TextData(index);
    if (!entry)
        return -1;
    const int item = entry->Line + m_firstVisible - 1;
    return item >= 0 && item < ItemCount() ? item : -1;
}

void TComboInPlaceList::Drop(TCustomCombo *combo, int extraWidth)
{
    TPrinterPage *page = combo->ParentPage();
    if (!page)
        return;
    setParent(page);
    m_scrollBar->setVisible(ItemCount() > m_visibleRows);
    const int bar100 = !m_scrollBar->isHidden()
        ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent)
        : 0;
    const int barWidth = page->Scale(bar100);
    SecondInnerMargins = QMargins(0, 0, 0, 0);
    // A first layout at the combo's size measures the list font.
    setGeometry(combo->x(), combo->y(), combo->width() + extraWidth, combo->height());
    CalcRelBounds(true, true, true, true, true, true);
    LayOutRows();
    const TWYSIWYGEngine *engine = WYSIWYGEngine();
    const Extended screenPerPrinterY = page->PrinterPixelsPerInchY() > 0
        ? Extended(page->ScreenPixelsPerInchY()) / page->PrinterPixelsPerInchY()
        : 1;
    const Extended screenPerPrinterX = page->PrinterPixelsPerInchX() > 0
        ? Extended(page->ScreenPixelsPerInchX()) / page->PrinterPixelsPerInchX()
        : 1;
    m_rowPitch = qMax(Extended(1), engine->TextHeight() * screenPerPrinterY * page->Zoom() / 100);
    m_rowHeight = int(Round(m_rowPitch));
    m_scrollBarWidth = barWidth;
    Extended longest = 0;
    for (const QString &item : std::as_const(m_items))
        longest = qMax(longest, engine->TextWidth(DisplayText(item)));
    const QRect inner = AdjRectBy(QRect(0, 0, 1000, 1000), VisualBorderProps(), VisualPadProps(),
                                  false, false, true);
    const int frameW = 1000 - inner.width();
    const int frameH = 1000 - inner.height();
    const int textW = page->Scale(int(Round(longest * screenPerPrinterX))) + 2;
    const int w = qMax(combo->width() + extraWidth, textW + frameW + barWidth);
    const int h = int(std::ceil(m_rowPitch * m_visibleRows)) + frameH;

    const QRect view = page->rect();
    int x = combo->x();
    if (x + w > view.right() + 1)
        x = view.right() + 1 - w;
    x = qMax(view.left(), x);
    int y = combo->y() + combo->height();
    if (y + h > view.bottom() + 1)
        y = combo->y() - h;
    setGeometry(x, y, w, h);
    const QRect bordered
        = AdjRectBy(QRect(0, 0, w, h), VisualBorderProps(), nullptr, false, false, true);
    m_scrollBar->setGeometry(bordered.right() + 1 - barWidth, bordered.top(), barWidth,
                             bordered.height());
    SecondInnerMargins = QMargins(0, 0, bar100, 0);
    CalcRelBounds(true, true, true, true, true, true);
    LayOutRows();
    show();
    raise();
}

QRect TComboInPlaceList::RowRect(const QRect &rect, int row) const
{
    const QRect inner = AdjRectBy(rect, VisualBorderProps(), nullptr, false, false, true);
    const QRect area = AdjRectBy(rect, VisualBorderProps(), VisualPadProps(), false, false, true);
    // Where the engine put the line; an empty item has no entry of its own.
    const Extended top = WYSIWYGEngine()->GetTextLineTop(row);
    const int y = top >= 0 ? rect.top() + int(Round(top / 100 * rect.height()))
                           : area.top() + int(Round((row - 1) * m_rowPitch));
    return QRect(inner.left(), y, inner.width() - m_scrollBarWidth, m_rowHeight);
}

void TComboInPlaceList::DoPaint(const QRect &rect, QPainter &canvas, bool onScreen)
{
    if (WYSIWYGEngine()->NeedsBuild())
        BuildWYSIWYGInf(true, false);
    DrawFill(rect, canvas, VisualBorderProps(), VisualFillProps(), false, onScreen);
    canvas.save();
    canvas.setClipRect(AdjRectBy(rect, VisualBorderProps(), VisualPadProps(), false, false, true));
    DrawText(rect, canvas, 1, INT_MAX, onScreen, VisualCharacterProps()->CharacterColor());
    const int row = m_itemIndex - m_firstVisible + 1;
    if (row >= 1 && row <= m_visibleRows) {
        // The chosen row again, white on navy, clipped to its line.
        const QRect band = RowRect(rect, row);
        canvas.setClipRect(band);
        canvas.fillRect(band, QColor(Qt::darkBlue));
        DrawText(rect, canvas, 1, INT_MAX, onScreen, clWhite);
    }
    canvas.restore();
    DrawBorder(rect, canvas, VisualBorderProps(), false, onScreen);
}

void TComboInPlaceList::mousePressEvent(QMouseEvent *event)
{
    // The editor keeps the focus; the choice is made on release.
    event->accept();
}

void TComboInPlaceList::mouseMoveEvent(QMouseEvent *event)
{
    const int item = ItemIndexFromPos(event->position().toPoint());
    if (item >= 0 && item != m_itemIndex)
        SetItemIndex(item);
    event->accept();
}

void TComboInPlaceList::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const int item = ItemIndexFromPos(event->position().toPoint());
    if (item >= 0)
        SetItemIndex(item);
    if (m_itemIndex >= 0 && m_editor)
        m_editor->SelectListItem(m_itemIndex, true);
}

void TComboInPlaceList::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        SetFirstVisibleItem(m_firstVisible - steps * 3);
    event->accept();
}
