// The File menu's export of the document as an HTML web form.

#include "CDesignerMainForm.h"

#include "CDesignerINIInfo.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CProjectInfo.h"
#include "CPublished.h"
#include "CUndoRedoTypes.h"
#include "CWebFormExportForm.h"

#include <QMetaProperty>

void TDesignerMainForm::ExportToHTML()
{
    if (!DesignMode() || !CommitEdit())
        return;
    if (WebExportElements().isEmpty()) {
        Global_MessageDlg(GlobalAppTitle(), QString::fromLatin1(SWebExportNothing), mtInformation,
                          mbOK, 0);
        return;
    }
    TProjectInfo &info = ProjectInfo();
    TWebFormExportForm form(info, DocumentPath(), DesignerSettings(), this);
    // The settings an export stores are one step of the design history.
    form.OnStore = [this, &info](const TWebExportSettings &settings) {
        const QMetaObject *meta = info.metaObject();
        QList<std::pair<QMetaProperty, QString>> before;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
            if (const QMetaProperty property = meta->property(i);
                QLatin1String(property.name()).startsWith(QLatin1String("LastExport")))
                before.append({property, PropertyValueText(&info, property)});
        settings.ToProject(info);
        auto undo = NewRecord(idPropInspChange);
        auto redo = NewRecord(idPropInspChange);
        for (const auto &[property, old] : std::as_const(before)) {
            const QString now = PropertyValueText(&info, property);
            if (now == old)
                continue;
            const QString name = QString::fromLatin1(property.name());
            undo->AddItem(
                std::make_unique<TUndoRedoTypes_PropInsp>(&info, false, &info, name, old));
            redo->AddItem(
                std::make_unique<TUndoRedoTypes_PropInsp>(&info, false, &info, name, now));
        }
        if (undo->Count() > 0)
            Record(std::move(undo), std::move(redo));
        GlobalMadeChange();
        EditStateChanged(nullptr);
    };
    DialogService().ExecModal(form);
}
