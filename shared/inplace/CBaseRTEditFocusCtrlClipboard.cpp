#include "CBaseRTEditFocusCtrl.h"

#include "CBasePgCtrl.h"
#include "CBaseRTEditFocusCtrlPrivate.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <string>

using namespace RTEditFocusCtrlDetail;

namespace {
constexpr int kPopupHelpContext = 7;

// Any line-break convention as CR LF.
QString NormaliseBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(kCR, kLF);
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return text;
}

// Incoming text as typing would let it in: control characters go, line
// breaks only where new lines are allowed.
QString CleanIncoming(const QString &text, bool newLines)
{
    const QString normal = NormaliseBreaks(text);
    QString result;
    result.reserve(normal.size());
    for (qsizetype i = 0; i < normal.size(); ++i) {
        const QChar c = normal[i];
        if (c == kCR || c == kLF) {
            if (newLines)
                result.append(c);
        } else if (!IsControl(c.unicode())) {
            result.append(c);
        }
    }
    return result;
}
} // namespace

// ---------------------------------------------------------------------------
// Popup menu

void TBaseRTEditFocusCtrl::CreatePopupMenu()
{
    if (m_popupMenu)
        return;
    m_popupMenu = new QMenu(this);
    m_popupMenu->setProperty("HelpContext", kPopupHelpContext);
    const struct
    {
        const char *Caption;
        const char *Shortcut;
        const char *Icon;
        void (TBaseRTEditFocusCtrl::*Click)();
    } items[] = {
        {"Undo", "Ctrl+Z", "edit-undo", &TBaseRTEditFocusCtrl::UndoClick},
        {"Redo", "Shift+Ctrl+Z", "edit-redo", &TBaseRTEditFocusCtrl::RedoClick},
        {"-", nullptr, nullptr, nullptr},
        {"Cut", "Ctrl+X", "edit-cut", &TBaseRTEditFocusCtrl::CutClick},
        {"Copy", "Ctrl+C", "edit-copy", &TBaseRTEditFocusCtrl::CopyClick},
        {"Paste", "Ctrl+V", "edit-paste", &TBaseRTEditFocusCtrl::PasteClick},
        {"Delete", "Ctrl+Del", "edit-delete", &TBaseRTEditFocusCtrl::DeleteClick},
        {"-", nullptr, nullptr, nullptr},
        {"Select All", "Ctrl+A", "edit-select-all", &TBaseRTEditFocusCtrl::SelectAllClick},
    };
    for (const auto &item : items) {
        if (!item.Click) {
            m_popupMenu->addSeparator();
            continue;
        }
        QAction *action = m_popupMenu->addAction(QIcon::fromTheme(QLatin1String(item.Icon)),
                                                 QString::fromLatin1(item.Caption));
        action->setObjectName(QStringLiteral("Popup")
                              + QString::fromLatin1(item.Caption).remove(u' '));
        // Shown in the menu; the keys themselves are handled by KeyDown.
        action->setShortcut(QKeySequence(QString::fromLatin1(item.Shortcut)));
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, item.Click);
    }
    connect(m_popupMenu, &QMenu::aboutToShow, this, &TBaseRTEditFocusCtrl::PopupMenuOnPopup);
}

void TBaseRTEditFocusCtrl::PopupMenuOnPopup()
{
    TContextMenuState state;
    GetContextMenuState(state);
    const std::pair<const char *, bool> flags[] = {{"PopupUndo", state.Undo},
                                                   {"PopupRedo", state.Redo},
                                                   {"PopupCut", state.Cut},
                                                   {"PopupCopy", state.Copy},
                                                   {"PopupPaste", state.Paste},
                                                   {"PopupDelete", state.Delete},
                                                   {"PopupSelectAll", state.SelectAll}};
    for (const auto &[name, on] : flags)
        if (QAction *action = m_popupMenu->findChild<QAction *>(QLatin1String(name)))
            action->setEnabled(on);
}

void TBaseRTEditFocusCtrl::ClosePopupMenu()
{
    if (m_popupMenu && m_popupMenu->isVisible())
        m_popupMenu->close();
}

void TBaseRTEditFocusCtrl::GetContextMenuState(TContextMenuState &state) const
{
    state = TContextMenuState();
    TVisualPgCtrl *owner = OwnerElement();
    // An editor its element has let go of has nothing to offer.
    if (!Editing())
        return;
    const TUndoRedo &history = owner->EditUndoRedo();
    state.Undo = history.CanUndo();
    state.Redo = history.CanRedo();
    state.Cut = state.Copy = state.Delete = owner->SelLength() != 0;
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    state.Paste = clip && clip->hasText();
    const int from = qMin(owner->SelStart(), owner->SelStart() + owner->SelLength());
    const int to = qMax(owner->SelStart(), owner->SelStart() + owner->SelLength());
    state.SelectAll = !owner->Text().isEmpty() && !(from <= 0 && to >= LastIndex());
}

void TBaseRTEditFocusCtrl::ContextMenuChanged()
{
    SendMessage(GlobalMainForm, VRMSGEditStateChanged, ObjectParam(this), 1);
}

void TBaseRTEditFocusCtrl::contextMenuEvent(QContextMenuEvent *event)
{
    m_mouseSelecting = false;
    if (!m_popupMenu || !Editing())
        return;
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard
        ? mapToGlobal(CaretRect().bottomLeft())
        : event->globalPos();
    m_popupMenu->popup(at);
    event->accept();
}

// ---------------------------------------------------------------------------
// Deleting the selection

bool TBaseRTEditFocusCtrl::DeleteBacklitText()
{
    TVisualPgCtrl *owner = OwnerElement();
    if (!owner || owner->SelLength() == 0)
        return true;
    QString text = owner->Text();
    int pos = 1;
    if (!RemoveSelection(text, pos)) {
        UnSelectAll();
        return true;
    }
    if (!ValidText(text)) {
        Refuse();
        return false;
    }
    return ApplyText(text, pos, false);
}

// ---------------------------------------------------------------------------
// Commands

void TBaseRTEditFocusCtrl::CopyClick()
{
    int start = 0;
    int length = 0;
    QString text;
    SelectedText(start, length, text);
    if (length > 0)
        // The system's own line breaks; a paste anywhere turns them back.
        QApplication::clipboard()->setText(
            QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::CutClick()
{
    CopyClick();
    DeleteClick();
}

void TBaseRTEditFocusCtrl::DeleteClick()
{
    DeleteBacklitText();
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::PasteClick()
{
    const QString incoming = QApplication::clipboard()->text();
    if (!OwnerElement() || CleanIncoming(incoming, m_params.WordWrap).isEmpty())
        return;
    if (!InsertChecked(incoming))
        Refuse();
    ContextMenuChanged();
}

bool TBaseRTEditFocusCtrl::InsertChecked(const QString &incoming)
{
    TVisualPgCtrl *owner = OwnerElement();
    if (!owner)
        return false;
    const QString cleaned = CleanIncoming(incoming, m_params.WordWrap);
    // Every check typing makes, on the whole text, and stored as typing stores it.
    std::u32string characters;
    for (const auto unit : cleaned.toUcs4()) {
        char32_t c = unit;
        const bool lineBreak = c == U'\r' || c == U'\n';
        if ((!lineBreak && !AdmitTyped(m_params, c))
            || (c == U'.' && m_params.NumericsOnly && m_params.WholeNumbersOnly))
            return false;
        characters.push_back(c);
    }
    const QString admitted = QString::fromUcs4(characters.data(), qsizetype(characters.size()));
    QString text = owner->Text();
    int pos = 1;
    RemoveSelection(text, pos);
    text.insert(pos - 1, admitted);
    if (!Acceptable(text))
        return false;
    ApplyText(text, pos + int(admitted.size()), true);
    return true;
}

bool TBaseRTEditFocusCtrl::ReplaceTextChecked(const QString &text)
{
    SelectAll();
    if (text.isEmpty())
        return DeleteBacklitText();
    return InsertChecked(text);
}

void TBaseRTEditFocusCtrl::SelectAllClick()
{
    SelectAll();
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::UndoClick()
{
    if (TVisualPgCtrl *owner = OwnerElement())
        owner->EditUndoRedo().Undo();
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::RedoClick()
{
    if (TVisualPgCtrl *owner = OwnerElement())
        owner->EditUndoRedo().Redo();
    // The history counts the step only once its handler has returned.
    ContextMenuChanged();
}
