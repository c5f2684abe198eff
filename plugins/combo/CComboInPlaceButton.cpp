#include "CComboInPlaceButton.h"

#include "CCombo.h"
#include "CComboInPlaceEdit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>

void ComboInPlaceButtonDraw(QPainter &canvas, const QRect &rect, bool themed)
{
    if (rect.isEmpty())
        return;
    QStyle *style = QApplication::style();
    if (themed) {
        QStyleOptionComboBox option;
        option.rect = rect.adjusted(1, 1, -1, -1);
        option.state = QStyle::State_Enabled;
        option.subControls = QStyle::SC_ComboBoxArrow;
        style->drawComplexControl(QStyle::CC_ComboBox, &option, &canvas);
        return;
    }
    QStyleOptionButton frame;
    frame.rect = rect;
    frame.state = QStyle::State_Enabled | QStyle::State_Raised;
    style->drawPrimitive(QStyle::PE_PanelButtonCommand, &frame, &canvas);
    QStyleOption arrow;
    const int inset = qMax(2, rect.width() / 4);
    arrow.rect = rect.adjusted(inset, inset, -inset, -inset);
    arrow.state = QStyle::State_Enabled;
    arrow.palette.setColor(QPalette::ButtonText, Qt::black);
    style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &canvas);
}

TComboInPlaceButton::TComboInPlaceButton(TComboInPlaceEdit *editor)
    : QWidget(editor), m_editor(editor)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TComboInPlaceButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_editor->SetDown(!m_editor->Dropped());
    event->accept();
}

void TComboInPlaceButton::paintEvent(QPaintEvent *)
{
    QPainter canvas(this);
    ComboInPlaceButtonDraw(canvas, rect(), false);
}
