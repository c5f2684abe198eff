#include "COnlineHelp.h"

#include "CAppPaths.h"
#include "CDialogService.h"
#include "CXMLWebWorksHelpBook.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMetaMethod>
#include <QPointer>
#include <QWidget>
#include <iterator>

namespace {
// In the order of TOnlineHelpCTX; the unused numbers have no name.
const char *const kNames[] = {
    "fhctx_NoHelpContext",
    "fhctx_TitlePage",
    "fhctx_Workspace",
    "fhctx_MenuFile",
    "fhctx_MenuEdit",
    "fhctx_MenuView",
    "fhctx_MenuHelp",
    "fhctx_MenuContext",
    "fhctx_DialogOpen",
    "fhctx_DialogNotRecognised",
    "fhctx_DialogUnrecognisedProperties",
    "fhctx_DialogSaveAs",
    "fhctx_DialogPrinterOffsets",
    "fhctx_DialogAddPrinterOffset",
    "fhctx_DialogModifyPrinterOffset",
    "fhctx_DialogDeletePrinterOffsetConfirmation",
    "fhctx_DialogPrint",
    "fhctx_DialogSelectPrinterOffset",
    "fhctx_DialogAbout",
    "fhctx_FormElementButton",
    "fhctx_FormElementCheckBox",
    "fhctx_FormElementComboBox",
    "fhctx_FormElementDateBox",
    "fhctx_FormElementImage",
    "fhctx_FormElementRadioButton",
    "fhctx_FormElementScribe",
    "fhctx_FormElementTimeBox",
    "fhctx_DialogImageFile",
    "fhctx_DialogResetFormConfirmation",
    "fhctx_DialogValidationFailed",
    "dhctx_TitlePage",
    "dhctx_WelcomeScreen",
    "dhctx_Workspace",
    "dhctx_MenuFile",
    "dhctx_MenuEdit",
    "dhctx_MenuView",
    "dhctx_MenuPage",
    "dhctx_MenuElement",
    "dhctx_MenuHelp",
    "dhctx_MenuContext",
    "dhctx_PropertyInspector",
    "dhctx_PluginPalette",
    "dhctx_DialogShowHidePlugins",
    "",
    "",
    "",
    "dhctx_DialogOpen",
    "dhctx_DialogUnavailablePlugins",
    "dhctx_DialogUnrecognisedProperties",
    "dhctx_DialogSaveAs",
    "dhctx_DialogResetFormConfirmation",
    "dhctx_DialogValidationFailed",
    "dhctx_DialogPrint",
    "dhctx_NonVisualFormElementBar",
    "dhctx_DialogPDFFile",
    "dhctx_DialogAbout",
    "dhctx_DialogResizeConfirmation",
    "dhctx_DialogBackgroundImage",
    "dhctx_DialogHint",
    "dhctx_DialogValidationErrorMessages",
    "dhctx_DialogFindFormElements",
    "dhctx_DialogTabOrder",
    "dhctx_DialogHTMLExportForm",
    "dhctx_DialogHTMLExportSubmitEmail",
    "dhctx_DialogSpecifyContent",
    "dhctx_PluginButton",
    "dhctx_DialogActions",
    "dhctx_PluginCalculationBox",
    "dhctx_DialogExpression",
    "dhctx_PluginCheckBox",
    "dhctx_PluginComboBox",
    "dhctx_DialogDropDownListItems",
    "dhctx_PluginDateBox",
    "dhctx_PluginImage",
    "dhctx_PluginLabel",
    "dhctx_DialogDefaultText",
    "dhctx_PluginRadioButton",
    "dhctx_PluginShape",
    "dhctx_PluginScribe",
    "dhctx_PluginTimeBox",
    "dhctx_Property3D",
    "dhctx_PropertyActions",
    "dhctx_PropertyAllowDown",
    "dhctx_PropertyAllowNoSelection",
    "dhctx_PropertyAlwaysDisplay",
    "dhctx_PropertyAutomaticDrop",
    "dhctx_PropertyBottomMargins",
    "dhctx_PropertyBottomPad",
    "dhctx_Buttons",
    "dhctx_PropertyCanBeReset",
    "dhctx_PropertyColorBorder",
    "dhctx_PropertyColorCharacter",
    "dhctx_PropertyColorCheckedChar",
    "dhctx_PropertyColorFill",
    "dhctx_PropertyColorNoSelectionChar",
    "dhctx_PropertyColorUncheckedChar",
    "dhctx_PropertyColorChecked",
    "dhctx_PropertyColorNoSelection",
    "dhctx_PropertyColorUnchecked",
    "dhctx_PropertyConfirmationDialog",
    "dhctx_PropertyCurve",
    "dhctx_PropertyCustomTextChecked",
    "dhctx_PropertyCustomTextNoSelection",
    "dhctx_PropertyCustomTextUnchecked",
    "dhctx_PropertyDecimalPlaces",
    "dhctx_PropertyDecimalPoint",
    "dhctx_PropertyDefaultFocus",
    "dhctx_PropertyDefaultStateCheck",
    "dhctx_PropertyDefaultStateRadio",
    "dhctx_PropertyDefaultText",
    "dhctx_PropertyDefaultView",
    "dhctx_PropertyDisplayGeneral",
    "dhctx_PropertyDisplayBackground",
    "dhctx_PropertyDisplayMargins",
    "dhctx_PropertyDisplayZero",
    "dhctx_PropertyDropRows",
    "dhctx_PropertyErrorMessages",
    "dhctx_PropertyEnterKey",
    "dhctx_PropertyExpression",
    "dhctx_PropertyFileName",
    "dhctx_PropertyFileNameBackground",
    "dhctx_PropertyFileNameButtonImage",
    "dhctx_PropertyFitTo",
    "dhctx_PropertyFixedSize",
    "dhctx_PropertyFont",
    "dhctx_PropertyGroupID",
    "dhctx_PropertyHeightButtonImage",
    "dhctx_PropertyHeightFixed",
    "dhctx_PropertyHeightPaper",
    "dhctx_PropertyHeightPositionSize",
    "dhctx_PropertyHint",
    "dhctx_PropertyHorizontalAlignment",
    "dhctx_PropertyHorizontalGap",
    "dhctx_PropertyIcon",
    "dhctx_PropertyInputFormatDate",
    "dhctx_PropertyInputFormatTime",
    "dhctx_PropertyInputTypeComboBox",
    "dhctx_PropertyInputTypeScribe",
    "dhctx_PropertyItemChecked",
    "dhctx_PropertyItemNoSelection",
    "dhctx_PropertyItemUnchecked",
    "dhctx_PropertyItems",
    "dhctx_PropertyLeftMargins",
    "dhctx_PropertyLeftPad",
    "dhctx_PropertyLeftPositionSize",
    "dhctx_PropertyLink",
    "dhctx_PropertyLock",
    "dhctx_PropertyMaximumCharactersGeneral",
    "dhctx_PropertyMaximumCharactersTabOn",
    "dhctx_PropertyMaximumValue",
    "dhctx_PropertyMinimumValue",
    "dhctx_PropertyMode",
    "dhctx_PropertyMustAlsoCheck",
    "dhctx_PropertyMustAlsoFill",
    "dhctx_PropertyMustAlsoMatch",
    "dhctx_PropertyName",
    "dhctx_PropertyNameNonVisual",
    "dhctx_PropertyNumericsOnly",
    "dhctx_PropertyOrientation",
    "dhctx_PropertyOutputFormatDate",
    "dhctx_PropertyOutputFormatTime",
    "dhctx_PropertyPad",
    "dhctx_PropertyPage",
    "dhctx_PropertyPDFFileName",
    "dhctx_PropertyPosition",
    "dhctx_PropertyPositionButtonImage",
    "dhctx_PropertyPrompt",
    "dhctx_PropertyProportionalBackground",
    "dhctx_PropertyProportionalGeneral",
    "dhctx_PropertyPublishBackground",
    "dhctx_PropertyPublishBorder",
    "dhctx_PropertyPublishFill",
    "dhctx_PropertyPublishGeneral",
    "dhctx_PropertyPublishPage",
    "dhctx_PropertyReadOnly",
    "dhctx_PropertyRequired",
    "dhctx_PropertyRestrictTo",
    "dhctx_PropertyRightMargins",
    "dhctx_PropertyRightPad",
    "dhctx_PropertySeparateThousands",
    "dhctx_PropertySizeCharacter",
    "dhctx_PropertySizeChecked",
    "dhctx_PropertySizeNoSelection",
    "dhctx_PropertySizePaper",
    "dhctx_PropertySizeUnchecked",
    "dhctx_PropertySorted",
    "dhctx_PropertyStamp",
    "dhctx_PropertyStateOnReset",
    "dhctx_PropertyStyleParagraph",
    "dhctx_PropertyStyleStyle",
    "dhctx_PropertyText",
    "dhctx_PropertyTextOnReset",
    "dhctx_PropertyTitle",
    "dhctx_PropertyTopMargins",
    "dhctx_PropertyTopPad",
    "dhctx_PropertyTopPositionSize",
    "dhctx_PropertyTransparent",
    "dhctx_PropertyType",
    "dhctx_PropertyUpDownKeys",
    "dhctx_PropertyVerticalGap",
    "dhctx_PropertyVerticalAlignment",
    "dhctx_PropertyWidthBorder",
    "dhctx_PropertyWidthButtonImage",
    "dhctx_PropertyWidthFixed",
    "dhctx_PropertyWidthPaper",
    "dhctx_PropertyWidthPositionSize",
    "dhctx_PropertyWidthZeroPad",
    "dhctx_PropertyWordWrap",
    "dhctx_PluginHTMLButton",
    "dhctx_PluginHTMLCheckBox",
    "dhctx_PluginHTMLDateBox",
    "dhctx_PluginHTMLEmailScribe",
    "dhctx_PluginHTMLHiddenField",
    "dhctx_PluginHTMLImage",
    "dhctx_PluginHTMLLabel",
    "dhctx_PluginHTMLNumericScribe",
    "dhctx_PluginHTMLPasswordScribe",
    "dhctx_PluginHTMLRadioButton",
    "dhctx_PluginHTMLTextArea",
    "dhctx_PluginHTMLScribe",
    "dhctx_PluginHTMLTimeBox",
};
static_assert(std::size(kNames) == OnlineHelpCTXCount);

constexpr int kPrefixLength = 6;

bool IsFillerTopic(const QString &name)
{
    return name.left(1).toUpper() == QLatin1String("F");
}

// The window answering help itself, from `from` outwards.
QWidget *HelpAnsweringWidget(QWidget *from)
{
    for (QWidget *widget = from; widget; widget = widget->parentWidget())
        if (widget->metaObject()->indexOfSignal("HelpRequested(int)") >= 0)
            return widget;
    return nullptr;
}

// Whatever a mouse button or menu holds ends before the browser takes over: popups,
// grabs (a drag keeps the keys itself, so no help is asked during one); a focused in-place edit
// pauses as when another window takes the keyboard.
void CancelModes()
{
    for (int guard = 0; guard < 32; ++guard) {
        QWidget *popup = QApplication::activePopupWidget();
        if (!popup)
            break;
        popup->close();
    }
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    if (QWidget *grabber = QWidget::keyboardGrabber())
        grabber->releaseKeyboard();
    QWidget *focus = QApplication::focusWidget();
    if (focus && focus->inherits("TBaseRTEditFocusCtrl")) {
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(focus, &out);
    }
}

class TOnlineHelpKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        // Such a window reads F1 in its own key handling.
        if (HelpAnsweringWidget(widget))
            return false;
        ShowOnlineHelp(OnlineHelpContextOf(widget));
        return true;
    }
};
} // namespace

QString OnlineHelpCTXName(int helpContext)
{
    if (helpContext < 0 || helpContext >= OnlineHelpCTXCount)
        return {};
    return QString::fromLatin1(kNames[helpContext]);
}

QUrl OnlineHelpBaseUrl(bool filler)
{
    const QString program = filler ? QStringLiteral("filler") : QStringLiteral("designer");
    // Installed, the programs live in <prefix>/lib/velora/; built, in <build>/bin/.
    const QString installed
        = QDir::cleanPath(GlobalExecPath + QStringLiteral("../../share/velora/help/") + program);
    const QString built = QDir::cleanPath(GlobalExecPath + QStringLiteral("../help/") + program);
    const QString folder = QFileInfo(installed).isDir() ? installed : built;
    return QUrl::fromLocalFile(folder + u'/');
}

QUrl OnlineHelpUrl(int helpContext)
{
    const QString name = OnlineHelpCTXName(helpContext);
    if (name.isEmpty())
        return {};
    const bool filler = IsFillerTopic(name);
    const QString mapFile = GlobalExecPath
        + (filler ? QStringLiteral("Velora Filler.xml") : QStringLiteral("Velora Designer.xml"));
    if (!QFileInfo::exists(mapFile))
        return {};
    const std::unique_ptr<TXMLWebWorksHelpBookType> book = LoadWebWorksHelpBook(mapFile);
    if (!book)
        return {};
    const TXMLWebWorksHelpBookLink *topic = book->FindTopic(name.mid(kPrefixLength));
    if (!topic || topic->Href.isEmpty())
        return {};
    // A map names pages of its own book: no other scheme, host or folder.
    const QUrl href(topic->Href, QUrl::StrictMode);
    if (!href.isValid() || !href.isRelative() || !href.host().isEmpty()
        || href.path().startsWith(u'/'))
        return {};
    const QUrl base = OnlineHelpBaseUrl(filler);
    const QUrl page = base.resolved(href);
    if (!page.isLocalFile() || !page.path().startsWith(base.path()))
        return {};
    return page;
}

bool ShowOnlineHelp(int HelpContext)
{
    const QUrl page = OnlineHelpUrl(HelpContext);
    if (page.isEmpty())
        return false;
    CancelModes();
    return Global_OpenUrl(page);
}

int OnlineHelpContextOf(const QWidget *from)
{
    for (const QWidget *widget = from; widget; widget = widget->parentWidget())
        if (const int context = widget->property("HelpContext").toInt(); context > 0)
            return context;
    for (const QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<const QMainWindow *>(window))
            if (const int context = window->property("HelpContext").toInt(); context > 0)
                return context;
    return fhctx_NoHelpContext;
}

void RequestOnlineHelp(QWidget *from)
{
    if (QWidget *answering = HelpAnsweringWidget(from)) {
        // Straight to the window's own handling: through the application the key
        // would find the help shortcut again.
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        static_cast<QObject *>(answering)->event(&f1);
        return;
    }
    ShowOnlineHelp(OnlineHelpContextOf(from));
}

void InstallOnlineHelpKey()
{
    static QPointer<TOnlineHelpKeyFilter> installed;
    if (installed || !qApp)
        return;
    installed = new TOnlineHelpKeyFilter(qApp);
    qApp->installEventFilter(installed);
}
