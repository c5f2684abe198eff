#include "CGlobal.h"

#include "CComponent.h"
#include "CDialogService.h"
#include "CMessages.h"
#include "CGlobalMessages.h"
#include "CPageControl.h"
#include "CPrinterPage.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

bool GlobalProjectChanged = false;
bool GlobalLoadingProject = false;
bool GlobalClearingProject = false;
bool GlobalAddingPage = false;
bool GlobalAddingControl = false;
bool GlobalPasting = false;
bool GlobalPrinting = false;
QString GlobalProjectName;
QString GlobalGeneralString;
QWidget *GlobalMainForm = nullptr;
TPageControl *GlobalPagesPageControl = nullptr;
bool GlobalFilling = false;
TGroupPageLookup GlobalPgPropGroupPageView = nullptr;
TSelectionLookup GlobalDesignerSelection = nullptr;
TDblClickUndoRecorder GlobalRecordDblClickUndo = nullptr;

namespace {
constexpr int kPdfPaneKind = 100;
} // namespace

int GlobalActivePgIdx()
{
    return GlobalPagesPageControl ? GlobalPagesPageControl->ActivePageIndex() : -1;
}

TPrinterPage *GlobalPgScrollBox(int index)
{
    if (!GlobalPagesPageControl)
        return nullptr;
    TTabSheet *sheet = GlobalPagesPageControl->Pages(index);
    return sheet ? qobject_cast<TPrinterPage *>(sheet->PageView()) : nullptr;
}

QWidget *GlobalPgPaintBox(int index)
{
    TPrinterPage *page = GlobalPgScrollBox(index);
    return page ? page->PaintBox() : nullptr;
}

void GlobalMadeChange()
{
    if (!GlobalLoadingProject)
        GlobalProjectChanged = true;
    SendMessage(GlobalMainForm, VRMSGProjectChanged, GlobalProjectChanged ? 1 : 0);
}

void GlobalClearChanges()
{
    GlobalProjectChanged = false;
    SendMessage(GlobalMainForm, VRMSGProjectChanged, 0);
}

bool GlobalVeloraFiller()
{
    return SendMessage(GlobalMainForm, VRMSGIsFiller) == 0;
}

bool GlobalQuickDrawPDFs()
{
    return SendMessage(GlobalMainForm, VRMSGQuickDrawPDFs) != 0;
}

Extended GlobalSetDecPlaces(Extended value, int places)
{
    // Rounding through text on purpose: stored documents hold these exact values.
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.*Lf", places, value);
    char precise[64];
    std::snprintf(precise, sizeof precise, "%.18Lg", std::strtold(buffer, nullptr));
    return std::strtold(precise, nullptr);
}

int GlobalCompFontHeight(int screenPixelsPerInch, int zoomPercent, int points)
{
    return -int(Trunc(Extended(points) * zoomPercent / 100 * screenPixelsPerInch / 72));
}

QObject *Global_FormElementRef(const QString &name)
{
    if (!GlobalPagesPageControl)
        return nullptr;
    TComponent *c = GlobalPagesPageControl->FindComponent(name);
    return c ? c->Object() : nullptr;
}

QObject *GlobalValidatePDFLink(const QString &name)
{
    QObject *element = Global_FormElementRef(name);
    const int kind = element ? element->property("ClassTypeID").toInt() : 0;
    if (element && kind == kPdfPaneKind)
        return element;
    const QString text = element ? QStringLiteral("\"%1\" is not a valid PDF link.").arg(name)
                                 : QStringLiteral("PDF link \"%1\" not found.").arg(name);
    Global_MessageDlg(GlobalAppTitle(), text, mtError, mbOK, 0);
    return nullptr;
}

int Global_MessageDlg(const QString &caption, const QString &message, int type, unsigned buttons,
                      int helpTopic)
{
    return DialogService().MessageBox(
        TMessageRequest {caption, message, TMsgDlgType(type), buttons, helpTopic});
}

QString GlobalAppTitle()
{
    const QString name = QApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Velora") : name;
}

bool GlobalGetTextDlg(const QString &text, const QString &caption, bool singleLine, QString &result,
                      int helpTopic)
{
    QDialog dlg(QApplication::activeWindow());
    dlg.setObjectName(QStringLiteral("StringEditForm"));
    dlg.setWindowTitle(QStringLiteral(" ") + caption);
    dlg.setProperty("HelpTopic", helpTopic);
    auto *layout = new QVBoxLayout(&dlg);
    QLineEdit *line = nullptr;
    QPlainTextEdit *memo = nullptr;
    if (singleLine) {
        line = new QLineEdit(text, &dlg);
        layout->addWidget(line);
    } else {
        memo = new QPlainTextEdit(text, &dlg);
        layout->addWidget(memo);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    layout->addWidget(buttons);
    result = text;
    if (DialogService().ExecModal(dlg) != QDialog::Accepted)
        return false;
    // Documents keep CR LF line breaks.
    result = line ? line->text() : memo->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    return true;
}
