#pragma once
// The button element: when clicked while the form is filled it runs its list
// of actions (open, save, print, page moves, validate, reset, web address,
// post, e-mail, start a program), most of them as commands to the main window.

#include "CButtonActions.h"
#include "CClicker.h"

class TButton : public TClicker
{
    Q_OBJECT
    Q_PROPERTY(QString ButtonActions READ ButtonActions WRITE SetButtonActions)

public:
    explicit TButton(TComponent *owner);

    int ClassTypeID() const override { return 105; }
    QString ButtonActions() const { return m_actionsText; }
    void SetButtonActions(const QString &text);
    const TActionsList &Actions() const { return m_actions; }
    // Stores the list as the property and marks the document changed.
    void SetActions(const QList<TButtonAction> &actions);

    void Loaded() override;
    void Clicked() override;
    // Runs the list in order until an action ends it; false when one did.
    bool RunActions();

    void AddRemovePropHelperInf(TPropHelper *helper) override;
    void RegisterPropertyEditors() override;
    int HlpCtx(const QString &propertyName) override;
    bool ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value) override;
    void Dispatch(TMessage &message) override;

    // The fields-to-send text with every line naming oldName (ignoring case) renamed.
    static QString RenamedFields(const QString &fields, const QString &oldName,
                                 const QString &newName);

private:
    void ElementRenamed(QObject *element, const QString &oldName);

    QString m_actionsText;
    TActionsList m_actions;
};

// Runs one action for a button; false when it ends the list.
bool ButtonRunAction(const TButtonAction &action);
// The main window's answer to a command.
std::intptr_t ButtonCommand(int code, const QString &argument = QString());
