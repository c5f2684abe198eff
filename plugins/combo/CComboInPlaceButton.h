#pragma once
// The drop-down button the editor carries: a click opens or closes the list.

#include <QWidget>

class TComboInPlaceEdit;

class TComboInPlaceButton : public QWidget
{
    Q_OBJECT

public:
    explicit TComboInPlaceButton(TComboInPlaceEdit *editor);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    TComboInPlaceEdit *m_editor;
};
