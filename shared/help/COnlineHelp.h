#pragma once
// Context help: a help context number names a topic of the filler's or the
// designer's help book, whose topic map beside the programs gives its page.

#include <QString>
#include <QUrl>

class QWidget;

// The help context numbers; the name less its six-letter prefix is the topic.
// 43 to 45 are not used.
enum TOnlineHelpCTX : int {
    fhctx_NoHelpContext, // 0
    fhctx_TitlePage,
    fhctx_Workspace,
    fhctx_MenuFile,
    fhctx_MenuEdit,
    fhctx_MenuView,
    fhctx_MenuHelp,
    fhctx_MenuContext,
    fhctx_DialogOpen,
    fhctx_DialogNotRecognised,
    fhctx_DialogUnrecognisedProperties, // 10
    fhctx_DialogSaveAs,
    fhctx_DialogPrinterOffsets,
    fhctx_DialogAddPrinterOffset,
    fhctx_DialogModifyPrinterOffset,
    fhctx_DialogDeletePrinterOffsetConfirmation,
    fhctx_DialogPrint,
    fhctx_DialogSelectPrinterOffset,
    fhctx_DialogAbout,
    fhctx_FormElementButton,
    fhctx_FormElementCheckBox, // 20
    fhctx_FormElementComboBox,
    fhctx_FormElementDateBox,
    fhctx_FormElementImage,
    fhctx_FormElementRadioButton,
    fhctx_FormElementScribe,
    fhctx_FormElementTimeBox,
    fhctx_DialogImageFile,
    fhctx_DialogResetFormConfirmation,
    fhctx_DialogValidationFailed,
    dhctx_TitlePage, // 30
    dhctx_WelcomeScreen,
    dhctx_Workspace,
    dhctx_MenuFile,
    dhctx_MenuEdit,
    dhctx_MenuView,
    dhctx_MenuPage,
    dhctx_MenuElement,
    dhctx_MenuHelp,
    dhctx_MenuContext,
    dhctx_PropertyInspector, // 40
    dhctx_PluginPalette,
    dhctx_DialogShowHidePlugins,
    dhctx_Unused43,
    dhctx_Unused44,
    dhctx_Unused45,
    dhctx_DialogOpen,
    dhctx_DialogUnavailablePlugins,
    dhctx_DialogUnrecognisedProperties,
    dhctx_DialogSaveAs,
    dhctx_DialogResetFormConfirmation, // 50
    dhctx_DialogValidationFailed,
    dhctx_DialogPrint,
    dhctx_NonVisualFormElementBar,
    dhctx_DialogPDFFile,
    dhctx_DialogAbout,
    dhctx_DialogResizeConfirmation,
    dhctx_DialogBackgroundImage,
    dhctx_DialogHint,
    dhctx_DialogValidationErrorMessages,
    dhctx_DialogFindFormElements, // 60
    dhctx_DialogTabOrder,
    dhctx_DialogHTMLExportForm,
    dhctx_DialogHTMLExportSubmitEmail,
    dhctx_DialogSpecifyContent,
    dhctx_PluginButton,
    dhctx_DialogActions,
    dhctx_PluginCalculationBox,
    dhctx_DialogExpression,
    dhctx_PluginCheckBox,
    dhctx_PluginComboBox, // 70
    dhctx_DialogDropDownListItems,
    dhctx_PluginDateBox,
    dhctx_PluginImage,
    dhctx_PluginLabel,
    dhctx_DialogDefaultText,
    dhctx_PluginRadioButton,
    dhctx_PluginShape,
    dhctx_PluginScribe,
    dhctx_PluginTimeBox,
    dhctx_Property3D, // 80
    dhctx_PropertyActions,
    dhctx_PropertyAllowDown,
    dhctx_PropertyAllowNoSelection,
    dhctx_PropertyAlwaysDisplay,
    dhctx_PropertyAutomaticDrop,
    dhctx_PropertyBottomMargins,
    dhctx_PropertyBottomPad,
    dhctx_Buttons,
    dhctx_PropertyCanBeReset,
    dhctx_PropertyColorBorder, // 90
    dhctx_PropertyColorCharacter,
    dhctx_PropertyColorCheckedChar,
    dhctx_PropertyColorFill,
    dhctx_PropertyColorNoSelectionChar,
    dhctx_PropertyColorUncheckedChar,
    dhctx_PropertyColorChecked,
    dhctx_PropertyColorNoSelection,
    dhctx_PropertyColorUnchecked,
    dhctx_PropertyConfirmationDialog,
    dhctx_PropertyCurve, // 100
    dhctx_PropertyCustomTextChecked,
    dhctx_PropertyCustomTextNoSelection,
    dhctx_PropertyCustomTextUnchecked,
    dhctx_PropertyDecimalPlaces,
    dhctx_PropertyDecimalPoint,
    dhctx_PropertyDefaultFocus,
    dhctx_PropertyDefaultStateCheck,
    dhctx_PropertyDefaultStateRadio,
    dhctx_PropertyDefaultText,
    dhctx_PropertyDefaultView, // 110
    dhctx_PropertyDisplayGeneral,
    dhctx_PropertyDisplayBackground,
    dhctx_PropertyDisplayMargins,
    dhctx_PropertyDisplayZero,
    dhctx_PropertyDropRows,
    dhctx_PropertyErrorMessages,
    dhctx_PropertyEnterKey,
    dhctx_PropertyExpression,
    dhctx_PropertyFileName,
    dhctx_PropertyFileNameBackground, // 120
    dhctx_PropertyFileNameButtonImage,
    dhctx_PropertyFitTo,
    dhctx_PropertyFixedSize,
    dhctx_PropertyFont,
    dhctx_PropertyGroupID,
    dhctx_PropertyHeightButtonImage,
    dhctx_PropertyHeightFixed,
    dhctx_PropertyHeightPaper,
    dhctx_PropertyHeightPositionSize,
    dhctx_PropertyHint, // 130
    dhctx_PropertyHorizontalAlignment,
    dhctx_PropertyHorizontalGap,
    dhctx_PropertyIcon,
    dhctx_PropertyInputFormatDate,
    dhctx_PropertyInputFormatTime,
    dhctx_PropertyInputTypeComboBox,
    dhctx_PropertyInputTypeScribe,
    dhctx_PropertyItemChecked,
    dhctx_PropertyItemNoSelection,
    dhctx_PropertyItemUnchecked, // 140
    dhctx_PropertyItems,
    dhctx_PropertyLeftMargins,
    dhctx_PropertyLeftPad,
    dhctx_PropertyLeftPositionSize,
    dhctx_PropertyLink,
    dhctx_PropertyLock,
    dhctx_PropertyMaximumCharactersGeneral,
    dhctx_PropertyMaximumCharactersTabOn,
    dhctx_PropertyMaximumValue,
    dhctx_PropertyMinimumValue, // 150
    dhctx_PropertyMode,
    dhctx_PropertyMustAlsoCheck,
    dhctx_PropertyMustAlsoFill,
    dhctx_PropertyMustAlsoMatch,
    dhctx_PropertyName,
    dhctx_PropertyNameNonVisual,
    dhctx_PropertyNumericsOnly,
    dhctx_PropertyOrientation,
    dhctx_PropertyOutputFormatDate,
    dhctx_PropertyOutputFormatTime, // 160
    dhctx_PropertyPad,
    dhctx_PropertyPage,
    dhctx_PropertyPDFFileName,
    dhctx_PropertyPosition,
    dhctx_PropertyPositionButtonImage,
    dhctx_PropertyPrompt,
    dhctx_PropertyProportionalBackground,
    dhctx_PropertyProportionalGeneral,
    dhctx_PropertyPublishBackground,
    dhctx_PropertyPublishBorder, // 170
    dhctx_PropertyPublishFill,
    dhctx_PropertyPublishGeneral,
    dhctx_PropertyPublishPage,
    dhctx_PropertyReadOnly,
    dhctx_PropertyRequired,
    dhctx_PropertyRestrictTo,
    dhctx_PropertyRightMargins,
    dhctx_PropertyRightPad,
    dhctx_PropertySeparateThousands,
    dhctx_PropertySizeCharacter, // 180
    dhctx_PropertySizeChecked,
    dhctx_PropertySizeNoSelection,
    dhctx_PropertySizePaper,
    dhctx_PropertySizeUnchecked,
    dhctx_PropertySorted,
    dhctx_PropertyStamp,
    dhctx_PropertyStateOnReset,
    dhctx_PropertyStyleParagraph,
    dhctx_PropertyStyleStyle,
    dhctx_PropertyText, // 190
    dhctx_PropertyTextOnReset,
    dhctx_PropertyTitle,
    dhctx_PropertyTopMargins,
    dhctx_PropertyTopPad,
    dhctx_PropertyTopPositionSize,
    dhctx_PropertyTransparent,
    dhctx_PropertyType,
    dhctx_PropertyUpDownKeys,
    dhctx_PropertyVerticalGap,
    dhctx_PropertyVerticalAlignment, // 200
    dhctx_PropertyWidthBorder,
    dhctx_PropertyWidthButtonImage,
    dhctx_PropertyWidthFixed,
    dhctx_PropertyWidthPaper,
    dhctx_PropertyWidthPositionSize,
    dhctx_PropertyWidthZeroPad,
    dhctx_PropertyWordWrap,
    dhctx_PluginHTMLButton,
    dhctx_PluginHTMLCheckBox,
    dhctx_PluginHTMLDateBox, // 210
    dhctx_PluginHTMLEmailScribe,
    dhctx_PluginHTMLHiddenField,
    dhctx_PluginHTMLImage,
    dhctx_PluginHTMLLabel,
    dhctx_PluginHTMLNumericScribe,
    dhctx_PluginHTMLPasswordScribe,
    dhctx_PluginHTMLRadioButton,
    dhctx_PluginHTMLTextArea,
    dhctx_PluginHTMLScribe,
    dhctx_PluginHTMLTimeBox, // 220
};

constexpr int OnlineHelpCTXCount = 221;

// The enumeration name of a context number ("dhctx_WelcomeScreen"); empty for a
// number outside the named ones.
QString OnlineHelpCTXName(int helpContext);
// The folder the pages of a program's help are read from, as a file address.
QUrl OnlineHelpBaseUrl(bool filler);
// The page of a context number from its topic map; empty when there is no such topic.
QUrl OnlineHelpUrl(int helpContext);

// Opens the topic of the number in the web browser; nothing happens (and nothing
// is shown) when the number, its topic map or its topic is missing. True when the
// address was handed on.
bool ShowOnlineHelp(int HelpContext);

// The number of the nearest widget from `from` outwards carrying a "HelpContext"
// property above 0, else the main window's.
int OnlineHelpContextOf(const QWidget *from);
// Help for what has the keyboard: a window answering help itself (it has a
// HelpRequested(int) signal) is given F1, anything else opens its context's topic.
void RequestOnlineHelp(QWidget *from);
// F1 in any window of the application asks RequestOnlineHelp; once is enough.
void InstallOnlineHelpKey();
