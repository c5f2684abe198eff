#include "CButton.h"

#include "CButtonActionsDlg.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPlugInContract.h"
#include "CPropEditors.h"

#include <QPointer>

TButton::TButton(TComponent *owner) : TClicker(owner)
{
    // Renames reach the followers of other elements, which a post's field list is.
    SetFollowsTextChanges(true);
}

void TButton::SetButtonActions(const QString &text)
{
    if (text == m_actionsText)
        return;
    m_actionsText = text;
    if (!IsLoading()) {
        m_actions.StrToList(text);
        GlobalMadeChange();
    }
}

void TButton::SetActions(const QList<TButtonAction> &actions)
{
    TActionsList list;
    for (const TButtonAction &action : actions)
        list.Add(std::make_unique<TButtonAction>(action));
    SetButtonActions(list.ListToStr());
}

void TButton::Loaded()
{
    TClicker::Loaded();
    m_actions.StrToList(m_actionsText);
}

void TButton::Clicked()
{
    TClicker::Clicked();
    RunActions();
}

bool TButton::RunActions()
{
    // A copy: an action may close the document, which frees this button and its list.
    QList<TButtonAction> actions;
    for (int i = 0; i < m_actions.Count(); ++i)
        actions.append(*m_actions.Action(i));
    for (const TButtonAction &action : actions)
        if (!ButtonRunAction(action))
            return false;
    return true;
}

void TButton::AddRemovePropHelperInf(TPropHelper *helper)
{
    TClicker::AddRemovePropHelperInf(helper);
    helper->AddInfo(QStringLiteral("Caption"), QStringLiteral("Caption"), 20);
    helper->AddInfo(QStringLiteral("ButtonActions"), QStringLiteral("Actions"), 30);
    helper->AddInfo(QStringLiteral("Glyph"), QStringLiteral("Picture"), 40);
}

void TButton::RegisterPropertyEditors()
{
    TClicker::RegisterPropertyEditors();
    RegisterPropertyEditor({QStringLiteral("QString"), QStringLiteral("TButton"),
                            QStringLiteral("TPropEditorButtonActions"),
                            QStringLiteral("ButtonActions"), TPropEditorKind::Dialog});
}

int TButton::HlpCtx(const QString &propertyName)
{
    if (propertyName.compare(QLatin1String("TButton"), Qt::CaseInsensitive) == 0)
        return 65;
    if (propertyName.compare(QLatin1String("ButtonActions"), Qt::CaseInsensitive) == 0)
        return 81;
    return TClicker::HlpCtx(propertyName);
}

bool TButton::ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value)
{
    if (propertyName.compare(QLatin1String("ButtonActions"), Qt::CaseInsensitive) != 0)
        return TClicker::ShowPropEditor(propertyName, recordUndo, value);
    const QString old = m_actionsText;
    TButtonActionsDlg dialog(GlobalMainForm, m_actionsText);
    if (DialogService().ExecModal(dialog) != mrOk)
        return false;
    value = dialog.ActionsText();
    if (value == old)
        return true;
    if (recordUndo && GlobalRecordDblClickUndo)
        GlobalRecordDblClickUndo(this, QStringLiteral("ButtonActions"), old, value);
    SetButtonActions(value);
    return true;
}

QString TButton::RenamedFields(const QString &fields, const QString &oldName,
                               const QString &newName)
{
    QStringList lines = fields.split(QStringLiteral("\r\n"));
    for (QString &line : lines)
        if (line.trimmed().compare(oldName, Qt::CaseInsensitive) == 0)
            line = newName;
    return lines.join(QStringLiteral("\r\n"));
}

void TButton::ElementRenamed(QObject *element, const QString &oldName)
{
    auto *component = qobject_cast<TBasePgCtrl *>(element);
    if (element == this || !component || oldName.isEmpty() || component->Name() == oldName)
        return;
    bool renamed = false;
    for (int i = 0; i < m_actions.Count(); ++i) {
        TButtonAction &action = *m_actions.Action(i);
        if (action.Kind() != bakPostToURL)
            continue;
        const QString fields
            = RenamedFields(action.Str(ButtonParam::PostFields), oldName, component->Name());
        if (fields != action.Str(ButtonParam::PostFields)) {
            action.SetStr(ButtonParam::PostFields, fields);
            renamed = true;
        }
        // A response field is an element name too.
        if (action.Str(ButtonParam::PostResponseField).compare(oldName, Qt::CaseInsensitive) == 0) {
            action.SetStr(ButtonParam::PostResponseField, component->Name());
            renamed = true;
        }
    }
    if (renamed) {
        m_actionsText = m_actions.ListToStr();
        GlobalMadeChange();
    }
}

void TButton::Dispatch(TMessage &message)
{
    if (message.Msg == VRMSGBasePgCtrlNameChanged && message.LParam) {
        ElementRenamed(reinterpret_cast<QObject *>(message.WParam),
                       *reinterpret_cast<const QString *>(message.LParam));
        return;
    }
    TClicker::Dispatch(message);
}

std::intptr_t ButtonCommand(int code, const QString &argument)
{
    return SendMessage(GlobalMainForm, VRMSGCommand, std::uintptr_t(code),
                       reinterpret_cast<std::intptr_t>(&argument));
}

VELORA_REGISTER_ELEMENT(TButton)
