#include "CBasePgCtrl.h"

#include "CElementEditor.h"
#include "CGlobal.h"
#include "CPropEditors.h"
#include "CPropGroups.h"

#include <QRegularExpression>

// ---------------------------------------------------------------------------
// TVisualPgCtrl: validation

QString TVisualPgCtrl::GetRequired_VEM() const
{
    const QStringList messages
        = m_validation ? m_validation->ValidationErrMsgsList() : QStringList();
    QString text = messages.value(0);
    static const QRegularExpression nameTag(QStringLiteral("<name>"),
                                            QRegularExpression::CaseInsensitiveOption);
    return text.replace(nameTag, Name());
}

void TVisualPgCtrl::SetValidationErrMsgs()
{
    QStringList messages = m_validation->ValidationErrMsgsList();
    messages.prepend(QStringLiteral("<Name> is incomplete!"));
    m_validation->SetValidationErrMsgsList(messages);
}

bool TVisualPgCtrl::Aquired(TVisualPgCtrl *&element, QString &message, bool check, int)
{
    element = this;
    message.clear();
    if (check && Text().isEmpty()) {
        message = GetRequired_VEM();
        return false;
    }
    return true;
}

QList<TValidationCheck> TVisualPgCtrl::ValidationChecks() const
{
    return {{QStringLiteral("Required"), 0}};
}

void TVisualPgCtrl::DoValidate()
{
    if (GlobalClearingProject || !GlobalFilling || !ParentPage())
        return;
    try {
        Validate();
        SetValidationFailed(false);
    } catch (...) {
        SetValidationFailed(true);
        // The element keeps the focus with its text selected, and the program shows the error.
        if (auto *focus = dynamic_cast<TElementEditor *>(m_editor.data()))
            focus->SelectAll();
        if (m_editor)
            m_editor->setFocus();
        throw;
    }
}

QString TVisualPgCtrl::GetValidationHTML(int) const
{
    // Not HasHTMLValidation: a kind answers it for its own checks too.
    if (!m_validation->ValidationRequired())
        return {};
    return QStringLiteral("        '%1', '#q', '0', '%2'").arg(Name(), GetRequired_VEM());
}

bool TVisualPgCtrl::HasHTMLValidation() const
{
    return m_validation->ValidationRequired();
}
