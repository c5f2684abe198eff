#include "CBaseForm.h"

#include "CAppPaths.h"
#include "Cini.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <climits>

TBaseForm::TBaseForm(QWidget *parent, bool rememberSize)
    : QDialog(parent), m_rememberSize(rememberSize)
{ }

TBaseForm::~TBaseForm()
{
    if (m_placed)
        WritePlacement();
}

void TBaseForm::showEvent(QShowEvent *event)
{
    // The object name is only known once the window's own constructor has run.
    if (!m_placed) {
        ReadPlacement();
        m_placed = true;
    }
    QDialog::showEvent(event);
}

void TBaseForm::ReadPlacement()
{
    const QString section = objectName();
    if (section.isEmpty() || GlobalAppINI.isEmpty())
        return;
    const int w = INIReadInt(GlobalAppINI, section, QStringLiteral("Width"), width());
    const int h = INIReadInt(GlobalAppINI, section, QStringLiteral("Height"), height());
    if (w > 0 && h > 0)
        resize(w, h);
    // Never placed before, or placed on a screen that is gone: the dialog opens where Qt
    // puts it, centred over the window it belongs to, rather than in a corner.
    constexpr int kNone = INT_MIN;
    const int left = INIReadInt(GlobalAppINI, section, QStringLiteral("Left"), kNone);
    const int top = INIReadInt(GlobalAppINI, section, QStringLiteral("Top"), kNone);
    if (left == kNone || top == kNone)
        return;
    const QPoint centre = QRect(QPoint(left, top), size()).center();
    if (!QGuiApplication::screenAt(centre))
        return;
    move(left, top);
}

void TBaseForm::WritePlacement()
{
    const QString section = objectName();
    if (section.isEmpty() || GlobalAppINI.isEmpty())
        return;
    INIWriteInt(GlobalAppINI, section, QStringLiteral("Left"), x());
    INIWriteInt(GlobalAppINI, section, QStringLiteral("Top"), y());
    if (m_rememberSize) {
        INIWriteInt(GlobalAppINI, section, QStringLiteral("Width"), width());
        INIWriteInt(GlobalAppINI, section, QStringLiteral("Height"), height());
    }
}

TAlignEdit::TAlignEdit(QWidget *parent) : QLineEdit(parent)
{
    SetAlignment(taLeftJustify);
}

void TAlignEdit::SetAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    const Qt::Alignment horizontal = alignment == taRightJustify ? Qt::AlignRight
        : alignment == taCenter                                  ? Qt::AlignHCenter
                                                                 : Qt::AlignLeft;
    setAlignment(horizontal | Qt::AlignVCenter);
}
