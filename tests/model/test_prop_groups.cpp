#include "CComponent.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CMessages.h"
#include "CPrinterPage.h"
#include "CPropGroupOwner.h"
#include "CPropGroups.h"
#include "CPublished.h"
#include "ScriptedDialogService.h"

#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {
// An element as the groups see it: records effects and reported codes.
class TFakeElement : public QWidget,
                     public TComponent,
                     public TMessageTarget,
                     public TPropGroupOwner
{
public:
    explicit TFakeElement(QWidget *parent = nullptr)
        : QWidget(parent), TComponent(this, nullptr) { }

    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGPropChanged)
            Codes.append(int(message.WParam));
    }

    void PropGroupRepaint() override { Effects.append("repaint"); }
    void PropGroupRelayout(bool repaint) override
    {
        Effects.append(repaint ? "relayout+repaint" : "relayout");
    }
    void PropGroupFontChanged() override { Effects.append("font"); }
    bool PropGroupIsFixedStyle() const override { return FixedStyle; }
    QString PropGroupText() const override { return Text; }
    void PropGroupSetText(const QString &text) override { Text = text; }
    QString PropGroupHint() const override { return Hint; }
    void PropGroupSetHint(const QString &hint) override { Hint = hint; }
    void PropGroupReadOnlyChanged() override { Effects.append("readonly"); }
    void PropGroupRequiredChanged() override { Effects.append("required"); }
    void PropGroupPosSizeChanged(int code) override
    {
        Effects.append(QStringLiteral("possize%1").arg(code));
    }

    QList<int> Codes;
    QStringList Effects;
    bool FixedStyle = true;
    QString Text;
    QString Hint;
};

// Stands in for the main window or a page's settings: records messages only.
class TRecorder : public QWidget, public TComponent, public TMessageTarget
{
public:
    TRecorder() : TComponent(this, nullptr) { }
    void Dispatch(TMessage &message) override { Messages.append(message); }
    QList<TMessage> Messages;
};

QStringList Names(const QMetaObject *metaObject)
{
    QStringList names;
    for (const QMetaProperty &p : StoredProperties(metaObject))
        names.append(QString::fromLatin1(p.name()));
    return names;
}
} // namespace

TEST(PropGroups, StoredPropertiesRunInStreamOrder)
{
    EXPECT_EQ(Names(&TPropGroupBorder::staticMetaObject),
              QStringList({"BorderColor", "BorderPublish", "BorderWidth"}));
    EXPECT_EQ(Names(&TPropGroupCharacter::staticMetaObject),
              QStringList({"CharacterColor", "CharacterFont", "CharacterSize", "CharacterStyle"}));
    EXPECT_EQ(Names(&TPropGroupCommonResetForm::staticMetaObject),
              QStringList({"ResetFormCanBeReset"}));
    EXPECT_EQ(Names(&TPropGroupFill::staticMetaObject),
              QStringList({"FillColor", "FillPublish", "FillTransparent"}));
    EXPECT_EQ(Names(&TPropGroupFixed::staticMetaObject),
              QStringList({"FixedBorderProps", "FixedFillProps", "FixedHeight", "FixedHorzGap",
                           "FixedVertGap", "FixedWidth"}));
    EXPECT_EQ(
        Names(&TPropGroupGeneral::staticMetaObject),
        QStringList({"GeneralDefaultText", "GeneralDisplay", "GeneralHint", "GeneralLocked",
                     "GeneralPublish", "GeneralReadOnly", "GeneralRequired", "GeneralRestrictTo"}));
    EXPECT_EQ(Names(&TPropGroupMargins::staticMetaObject),
              QStringList({"MarginsBottom", "MarginsDisplay", "MarginsLeft", "MarginsRight",
                           "MarginsTop"}));
    EXPECT_EQ(Names(&TPropGroupPaper::staticMetaObject),
              QStringList({"PaperHeight", "PaperOrientation", "PaperSize", "PaperWidth"}));
    EXPECT_EQ(Names(&TPropGroupPad::staticMetaObject),
              QStringList({"PadBottom", "PadLeft", "PadRight", "PadTop"}));
    EXPECT_EQ(Names(&TPropGroupParagraph::staticMetaObject),
              QStringList({"ParagraphDirection", "ParagraphFixed", "ParagraphHorzAlign",
                           "ParagraphStyle", "ParagraphVertAlign", "ParagraphWrap"}));
    EXPECT_EQ(Names(&TPropGroupPDF::staticMetaObject), QStringList({"PDFLink", "PDFPage"}));
    EXPECT_EQ(Names(&TPropGroupPosSize::staticMetaObject),
              QStringList({"PosSizeHeight", "PosSizeLeft", "PosSizeTop", "PosSizeWidth"}));
    EXPECT_EQ(Names(&TPropGroupScrolling::staticMetaObject),
              QStringList({"ScrollingBars", "ScrollingDirection"}));
    EXPECT_EQ(Names(&TPropGroupTABOn::staticMetaObject),
              QStringList({"TABOnEnterKey", "TABOnUpDownKeys"}));
    EXPECT_EQ(Names(&TPropGroupValidation::staticMetaObject),
              QStringList({"ValidationErrMsgsList", "ValidationRequired"}));
}

TEST(PropGroups, FreshGroupsHoldTheirDeclaredDefaults)
{
    TFakeElement element;
    element.Text = "typed";
    element.Hint = "hint";
    const QList<TPropGroup *> groups = {new TPropGroupBorder(&element),
                                        new TPropGroupCharacter(&element),
                                        new TPropGroupCommonResetForm(&element),
                                        new TPropGroupFill(&element),
                                        new TPropGroupFixed(&element),
                                        new TPropGroupGeneral(&element),
                                        new TPropGroupPad(&element),
                                        new TPropGroupParagraph(&element),
                                        new TPropGroupPDF(&element),
                                        new TPropGroupPosSize(&element),
                                        new TPropGroupScrolling(&element),
                                        new TPropGroupTABOn(&element),
                                        new TPropGroupValidation(&element)};
    // Nested groups, the element's own text and the message list are always written.
    const QStringList alwaysWritten
        = {"GeneralDefaultText", "GeneralHint", "ValidationErrMsgsList"};
    for (TPropGroup *group : groups) {
        for (const QMetaProperty &p : StoredProperties(group->metaObject())) {
            if (alwaysWritten.contains(p.name())
                || p.metaType().flags() & QMetaType::PointerToQObject)
                continue;
            EXPECT_TRUE(IsDefaultValue(group, p))
                << p.name() << " = " << qPrintable(PropertyValueText(group, p));
        }
    }
    EXPECT_TRUE(element.Codes.isEmpty());
}

TEST(PropGroups, ExtendedValuesCompareAsGivenAndStoreRounded)
{
    TFakeElement element;
    TPropGroupFixed fixed(&element);
    fixed.SetFixedWidth(4.999L);
    EXPECT_EQ(fixed.FixedWidth(), 5.0L);
    fixed.SetFixedWidth(4.999L);
    EXPECT_EQ(element.Codes, QList<int>({6, 6}));
    fixed.SetFixedWidth(5.0L);
    EXPECT_EQ(element.Codes, QList<int>({6, 6}));
    EXPECT_EQ(element.Effects, QStringList({"relayout+repaint", "relayout+repaint"}));

    element.FixedStyle = false;
    element.Effects.clear();
    fixed.SetFixedHorzGap(1.234L);
    EXPECT_EQ(fixed.FixedHorzGap(), GlobalSetDecPlaces(1.23L, 2));
    EXPECT_EQ(element.Codes.last(), 4);
    EXPECT_TRUE(element.Effects.isEmpty());
}

TEST(PropGroups, SettersReportOnlyChangesAndApplyTheirEffects)
{
    TFakeElement element;
    TPropGroupBorder border(&element);
    border.SetBorderWidth(-3);
    EXPECT_EQ(border.BorderWidth(), 0);
    EXPECT_TRUE(element.Codes.isEmpty());
    border.SetBorderWidth(2);
    border.SetBorderColor(clRed);
    EXPECT_EQ(element.Codes, QList<int>({3, 1}));
    EXPECT_EQ(element.Effects, QStringList({"relayout+repaint", "repaint"}));
    EXPECT_EQ(TPropGroupBorder(&element, -5).BorderWidth(), 0);
    EXPECT_EQ(TPropGroupBorder(&element, 4).BorderWidth(), 4);
    EXPECT_FALSE(TPropGroupFill(&element, false).FillTransparent());

    element.Codes.clear();
    element.Effects.clear();
    TPropGroupCharacter character(&element);
    character.SetCharacterFont("Courier New");
    character.SetCharacterStyle(csBold | csUpperCase);
    character.SetCharacterColor(clBlack);
    EXPECT_EQ(element.Codes, QList<int>({2, 4}));
    EXPECT_EQ(element.Effects, QStringList({"font", "relayout", "font", "relayout+repaint"}));

    element.Codes.clear();
    element.Effects.clear();
    TPropGroupPosSize posSize(&element);
    posSize.SetPosSizeTop(12.345L);
    posSize.UpdateBounds(1, 2, 3, 4);
    EXPECT_EQ(posSize.PosSizeTop(), 2.0L);
    EXPECT_EQ(element.Codes, QList<int>({3}));
    EXPECT_EQ(element.Effects, QStringList({"possize3"}));
}

TEST(PropGroups, GeneralMirrorsTheElementAndAlwaysReportsText)
{
    TFakeElement element;
    element.Text = "abc";
    TPropGroupGeneral general(&element);
    EXPECT_EQ(general.GeneralDefaultText(), "abc");
    general.SetGeneralDefaultText("abc");
    general.SetGeneralHint("tip");
    EXPECT_EQ(element.Hint, "tip");
    general.SetGeneralReadOnly(true);
    general.DirectlySetFGeneralRequired(true);
    EXPECT_TRUE(general.GeneralRequired());
    EXPECT_EQ(element.Codes, QList<int>({1, 3, 6}));
    EXPECT_EQ(element.Effects, QStringList({"readonly"}));

    TPropGroupGeneral detached(nullptr);
    detached.SetGeneralDefaultText("kept");
    EXPECT_EQ(detached.GeneralDefaultText(), "kept");
}

TEST(PropGroups, ValidationRequiredIsAViewOfGeneralRequired)
{
    TFakeElement element;
    auto *general = new TPropGroupGeneral(&element);
    TPropGroupValidation validation(&element);
    general->SetGeneralRequired(true);
    EXPECT_TRUE(validation.ValidationRequired());
    element.Codes.clear();
    element.Effects.clear();

    validation.SetValidationRequired(true);
    EXPECT_TRUE(element.Codes.isEmpty());
    validation.SetValidationRequired(false);
    EXPECT_FALSE(general->GeneralRequired());
    EXPECT_FALSE(validation.ValidationRequired());
    EXPECT_EQ(element.Codes, QList<int>({7, 2}));
    EXPECT_EQ(element.Effects, QStringList({"required"}));

    TPropGroupValidation orphan(nullptr);
    orphan.SetValidationRequired(true);
    EXPECT_FALSE(orphan.ValidationRequired());
}

TEST(PropGroups, NestedGroupsReportToTheElementAndDieWithIt)
{
    auto element = std::make_unique<TFakeElement>();
    auto *paragraph = new TPropGroupParagraph(element.get());
    TPropGroupFixed *fixed = paragraph->ParagraphFixed();
    EXPECT_EQ(fixed->Owner(), element.get());
    fixed->FixedFillProps()->SetFillColor(clWhite);
    fixed->FixedBorderProps()->SetBorderWidth(1);
    paragraph->SetParagraphStyle(psFixed);
    EXPECT_EQ(element->Codes, QList<int>({1, 3, 3}));

    QPointer<TPropGroupBorder> border = fixed->FixedBorderProps();
    element.reset();
    EXPECT_TRUE(border.isNull());
}

TEST(PropGroups, NothingIsReportedWhileTheOwnerIsRead)
{
    TFakeElement element;
    TPropGroupPad pad(&element);
    element.SetComponentState(csLoading, true);
    pad.SetPadTop(3);
    EXPECT_EQ(pad.PadTop(), 3);
    EXPECT_TRUE(element.Codes.isEmpty());
    element.SetComponentState(csLoading, false);
    pad.SetPadLeft(1);
    EXPECT_EQ(element.Codes, QList<int>({2}));
}

TEST(PropGroups, HelpTopicsIgnoreCaseAndReachNestedGroups)
{
    TFakeElement element;
    TPropGroupParagraph paragraph(&element);
    EXPECT_EQ(paragraph.HlpCtx("paragraphwrap"), 207);
    EXPECT_EQ(paragraph.HlpCtx("FixedWidth"), 203);
    EXPECT_EQ(paragraph.HlpCtx("BorderWidth"), 201);
    EXPECT_EQ(paragraph.HlpCtx("FillTransparent"), 196);
    EXPECT_EQ(paragraph.HlpCtx("Unknown"), 0);
    EXPECT_EQ(TPropGroupCharacter(&element).HlpCtx("CharacterFixedSize"), 123);
    EXPECT_EQ(TPropGroupScrolling(&element).HlpCtx("ScrollingBars"), 0);
    EXPECT_TRUE(paragraph.PropUsed("ParagraphWrap"));
}

TEST(PropGroups, PdfLinkIsCheckedUnlessReadAndIgnoredWhileClearing)
{
    TFakeElement element;
    TPropGroupPDF pdf(&element);
    ScriptedDialogs().ExpectMessage(mrOk, "not found");
    pdf.SetPDFLink("PdfPane1");
    EXPECT_TRUE(pdf.PDFLink().isEmpty());
    EXPECT_TRUE(element.Codes.isEmpty());

    element.SetComponentState(csReading, true);
    pdf.SetPDFLink("PdfPane1");
    element.SetComponentState(csReading, false);
    EXPECT_EQ(pdf.PDFLink(), "PdfPane1");
    pdf.SetPDFLink("PDFPANE1");
    EXPECT_EQ(pdf.PDFLink(), "PdfPane1");
    {
        TGlobalFlagScope clearing(GlobalClearingProject);
        pdf.SetPDFLink("");
    }
    EXPECT_EQ(pdf.PDFLink(), "PdfPane1");
    pdf.SetPDFLink("");
    EXPECT_TRUE(pdf.PDFLink().isEmpty());
    pdf.RenamePDFLink("Other");
    EXPECT_EQ(pdf.PDFLink(), "Other");
    EXPECT_EQ(element.Codes, QList<int>({1}));
    ScriptedDialogs().VerifyAllUsed();
}

namespace {
TPrinterPage *g_pageView = nullptr;

// A page's settings with its page view registered the way the project does it.
class PropGroupsPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldLookup = GlobalPgPropGroupPageView;
        m_oldMainForm = GlobalMainForm;
        m_view = std::make_unique<TPrinterPage>(nullptr);
        g_pageView = m_view.get();
        GlobalPgPropGroupPageView = [](const TPropGroup *) {
            return g_pageView;
        };
        GlobalMainForm = &m_mainForm;
        m_paper = new TPropGroupPaper(&m_pageProps);
        m_margins = new TPropGroupMargins(&m_pageProps);
        m_view->SetPageWidth(210);
        m_view->SetPageHeight(297);
    }
    void TearDown() override
    {
        GlobalPgPropGroupPageView = m_oldLookup;
        GlobalMainForm = m_oldMainForm;
        g_pageView = nullptr;
        ScriptedDialogs().VerifyAllUsed();
    }
    void AddElement() { new TFakeElement(m_view.get()); }
    QList<std::intptr_t> PaperChanges() const
    {
        QList<std::intptr_t> resizes;
        for (const TMessage &m : m_mainForm.Messages)
            if (m.Msg == VRMSGPagePaperChange && m.WParam == 2)
                resizes.append(m.LParam);
        return resizes;
    }

    TGroupPageLookup m_oldLookup = nullptr;
    QWidget *m_oldMainForm = nullptr;
    TRecorder m_mainForm;
    TRecorder m_pageProps;
    std::unique_ptr<TPrinterPage> m_view;
    TPropGroupPaper *m_paper = nullptr;
    TPropGroupMargins *m_margins = nullptr;
};
} // namespace

TEST_F(PropGroupsPage, AnEmptyPageChangesSilently)
{
    m_paper->SetPaperWidth(200);
    EXPECT_EQ(m_paper->PaperWidth(), 200);
    EXPECT_EQ(PaperChanges(), QList<std::intptr_t>({0}));
    m_paper->SetPaperWidth(200);
    m_paper->SetPaperHeight(0);
    EXPECT_EQ(m_paper->PaperHeight(), 297);
    EXPECT_EQ(PaperChanges().size(), 1);
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());
}

TEST_F(PropGroupsPage, ThePromptDecidesOverAPageWithElements)
{
    AddElement();
    ScriptedDialogs().ExpectMessage(mrCancel, "resize and reposition");
    m_paper->SetPaperWidth(200);
    EXPECT_EQ(m_paper->PaperWidth(), 210);
    EXPECT_TRUE(PaperChanges().isEmpty());

    ScriptedDialogs().ExpectMessage(mrYes, "resize");
    m_paper->SetPaperWidth(200);
    ScriptedDialogs().ExpectMessage(mrNo, "resize");
    m_paper->SetPaperHeight(280);
    EXPECT_EQ(m_paper->PaperWidth(), 200);
    EXPECT_EQ(m_paper->PaperHeight(), 280);
    EXPECT_EQ(PaperChanges(), QList<std::intptr_t>({1, 0}));
    const TShownDialog &shown = ScriptedDialogs().Shown().first();
    EXPECT_EQ(shown.Type, mtConfirmation);
    EXPECT_EQ(shown.Buttons, mbYesNoCancel);
}

TEST_F(PropGroupsPage, AddingAPageNeverPromptsAndReadingCancels)
{
    AddElement();
    {
        TGlobalFlagScope adding(GlobalAddingPage);
        m_paper->SetPaperSize(0);
    }
    EXPECT_EQ(m_paper->PaperSize(), 0);
    m_pageProps.SetComponentState(csReading, true);
    m_paper->SetPaperWidth(100);
    m_pageProps.SetComponentState(csReading, false);
    EXPECT_EQ(m_paper->PaperWidth(), 210);
    EXPECT_EQ(PaperChanges(), QList<std::intptr_t>({0}));
}

TEST_F(PropGroupsPage, MarginsWriteThroughToThePageView)
{
    m_margins->SetMarginsTop(20);
    m_margins->SetMarginsDisplay(false);
    EXPECT_EQ(m_view->TopMargin(), 20);
    EXPECT_EQ(m_margins->MarginsTop(), 20);
    EXPECT_FALSE(m_view->ShowMargins());

    g_pageView = nullptr;
    m_margins->SetMarginsLeft(30);
    m_paper->SetPaperWidth(100);
    EXPECT_EQ(m_margins->MarginsLeft(), 0);
    EXPECT_TRUE(m_margins->MarginsDisplay());
    EXPECT_EQ(m_paper->PaperWidth(), 0);
    EXPECT_EQ(m_view->PageWidth(), 210);
}
