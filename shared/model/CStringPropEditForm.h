#pragma once
// The string editor window: one text, in one line or many, with OK and Cancel.
// It reopens at the place and size it was left at. In one line Enter is OK and a
// line break cannot be typed; in many lines Enter starts a new line. Escape is
// Cancel either way.

#include "CBaseForm.h"

class QLineEdit;
class QPlainTextEdit;

class TStringPropEditForm : public TBaseForm
{
    Q_OBJECT
public:
    TStringPropEditForm(QWidget *owner, bool singleLine);

    void SetText(const QString &text);
    // Line breaks as documents keep them (CR LF).
    QString Text() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *m_line = nullptr;
    QPlainTextEdit *m_memo = nullptr;
};
