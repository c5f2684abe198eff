#include "CClicker.h"

#include "CGlobal.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionButton>
#include <QTimer>

TClicker::TClicker(TComponent *owner) : TBasePgCtrl(owner)
{
    resize(89, 25);
    m_caption = QStringLiteral("Button");
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TClicker::SetCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    setAccessibleName(caption);
    update();
    if (!IsLoading())
        GlobalMadeChange();
}

void TClicker::SetGlyph(const QByteArray &bytes)
{
    if (bytes == m_glyph)
        return;
    m_glyph = bytes;
    // Bytes that are no picture keep the button usable, just without one.
    m_image = QImage::fromData(bytes);
    update();
    if (!IsLoading())
        GlobalMadeChange();
}

QString TClicker::GetPlugInHint() const
{
    return QStringLiteral("Button");
}

void TClicker::Clicked()
{
    update();
}

void TClicker::SetPressed(bool pressed)
{
    if (pressed != m_pressed) {
        m_pressed = pressed;
        update();
    }
}

void TClicker::DoPaint(const QRect &rect, QPainter &canvas, bool onScreen)
{
    if (!onScreen)
        return;
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = rect;
    option.text = m_caption;
    option.state |= m_pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    if (!m_image.isNull()) {
        option.icon = QIcon(QPixmap::fromImage(m_image));
        const int side = qMax(1, qMin(rect.height() - 8, m_image.height()));
        option.iconSize = QSize(side, side);
    }
    style()->drawControl(QStyle::CE_PushButton, &option, &canvas, this);
}

void TClicker::mousePressEvent(QMouseEvent *event)
{
    if (!GlobalFilling || event->button() != Qt::LeftButton) {
        TBasePgCtrl::mousePressEvent(event);
        return;
    }
    m_tracking = true;
    SetPressed(true);
}

void TClicker::mouseMoveEvent(QMouseEvent *event)
{
    if (m_tracking)
        SetPressed(rect().contains(event->position().toPoint()));
}

void TClicker::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_tracking || event->button() != Qt::LeftButton)
        return;
    m_tracking = false;
    const bool inside = rect().contains(event->position().toPoint());
    SetPressed(false);
    // After the mouse event is done: a click may close the document, which frees this button.
    if (inside)
        QTimer::singleShot(0, qApp, [self = QPointer<TClicker>(this)] {
            if (self)
                self->Clicked();
        });
}

void TClicker::keyPressEvent(QKeyEvent *event)
{
    if (GlobalFilling && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return))
        QTimer::singleShot(0, qApp, [self = QPointer<TClicker>(this)] {
            if (self)
                self->Clicked();
        });
    else
        TBasePgCtrl::keyPressEvent(event);
}
