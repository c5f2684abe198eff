#pragma once
// A clickable button element: a caption, an optional picture, a pressed look
// while the mouse is held on it, and Clicked() when it is released over it
// while the form is being filled. Buttons are controls of the screen: paper
// shows nothing of them.

#include "CBasePgCtrl.h"

#include <QByteArray>
#include <QImage>

class TClicker : public TBasePgCtrl
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    // The picture beside the caption, as image file bytes (PNG, JPEG, ...).
    Q_PROPERTY(QByteArray Glyph READ Glyph WRITE SetGlyph)

public:
    explicit TClicker(TComponent *owner);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    QByteArray Glyph() const { return m_glyph; }
    void SetGlyph(const QByteArray &bytes);
    bool Pressed() const { return m_pressed; }

    // What a click does; the base only repaints.
    virtual void Clicked();

    void DoPaint(const QRect &rect, QPainter &canvas, bool onScreen) override;
    QString GetPlugInHint() const override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void SetPressed(bool pressed);

    QString m_caption;
    QByteArray m_glyph;
    QImage m_image;
    bool m_pressed = false;
    bool m_tracking = false;
};
