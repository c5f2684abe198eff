// Numeric elements: what a number shows, the value calculations read, what
// validation refuses, and what a change of the number group sets off.

#include "CBasePgCtrl.h"
#include "CException.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CPropGroupsNumber.h"
#include "CPropHelper.h"
#include "CVisualPgCtrlNumeric.h"
#include "CWYSIWYGEngine.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <gtest/gtest.h>

namespace {
// A numeric kind publishing its groups as the text box does; it keeps what it is told.
class TNumberBox : public TVisualPgCtrlNumeric
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupBorder *VisualBorderProps READ VisualBorderProps)
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupTABOn *VisualTABOnProps READ VisualTABOnProps)
    Q_PROPERTY(TPropGroupValidation *VisualValidationProps READ VisualValidationProps)
public:
    using TVisualPgCtrlNumeric::TVisualPgCtrlNumeric;
    int ClassTypeID() const override { return Kind; }
    void Dispatch(TMessage &m) override
    {
        if (m.Msg == VRMSGPropChanged)
            Codes.append(int(m.WParam));
        TVisualPgCtrlNumeric::Dispatch(m);
    }
    int Kind = 20;
    QList<int> Codes;
};

// Stands for every other element of the form: hears the broadcasts.
class TListener : public QWidget, public TMessageTarget
{
public:
    using QWidget::QWidget;
    void Dispatch(TMessage &m) override { Heard.append({m.Msg, m.WParam}); }
    QList<std::pair<std::uint32_t, std::uintptr_t>> Heard;
};

class TMainWindowProbe : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &m) override { Received.append(m.Msg); }
    int Count(std::uint32_t msg) const { return int(Received.count(msg)); }
    QList<std::uint32_t> Received;
};

class Numeric : public ::testing::Test
{
protected:
    // First, so that the globals the tests change come back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        GlobalMainForm = &mainWindow;
        GlobalPagesPageControl = pages.get();
        GlobalFilling = true;
        for (int i = 0; i < 2; ++i) {
            auto *view = new TPrinterPage(pages.get(), pages->AddPage(QStringLiteral("Page")));
            view->resize(900, 1200);
            views.append(view);
        }
        listener = new TListener(views[1]);
        box = CreateComponent<TNumberBox>(pages.get());
        box->setParent(views[0]);
        box->SetName(QStringLiteral("Amount"));
        box->setGeometry(100, 100, 200, 30);
        box->CalcRelBounds(true, true, true, true, true, true);
        number = box->VisualNumberProps();
    }
    void TearDown() override
    {
        pages.reset();
        GlobalPagesPageControl = nullptr;
        GlobalMainForm = nullptr;
        GlobalFilling = false;
    }
    QString Shown(const QString &text)
    {
        box->SetText(text);
        return box->DisplayText(box->Text());
    }
    // The message Validate raises, empty when it accepts the text.
    QString Refusal(const QString &text)
    {
        box->SetText(text);
        try {
            box->Validate();
        } catch (const EVeloraError &error) {
            return error.Message();
        }
        return {};
    }

    TMainWindowProbe mainWindow;
    std::unique_ptr<TPageControl> pages = std::make_unique<TPageControl>();
    QList<TPrinterPage *> views;
    TListener *listener = nullptr;
    TNumberBox *box = nullptr;
    TPropGroupNumber *number = nullptr;
};
} // namespace

TEST_F(Numeric, NumbersShowWithTheirDecimalsPaddingAndSeparators)
{
    number->SetNumberNumericsOnly(true);
    EXPECT_EQ(Shown(QStringLiteral("3")), QStringLiteral("3.00"));
    // Decimals round half away from zero; whole numbers round half to even.
    EXPECT_EQ(Shown(QStringLiteral("0.125")), QStringLiteral("0.13"));
    EXPECT_EQ(Shown(QStringLiteral("9.999")), QStringLiteral("10.00"));
    EXPECT_EQ(Shown(QStringLiteral("-0.001")), QStringLiteral("0.00"));
    EXPECT_EQ(Shown(QStringLiteral(" 1e3 ")), QStringLiteral("1000.00"));
    number->SetNumberDecPlaces(0);
    EXPECT_EQ(Shown(QStringLiteral("2.5")), QStringLiteral("2"));
    EXPECT_EQ(Shown(QStringLiteral("3.5")), QStringLiteral("4"));
    EXPECT_EQ(Shown(QStringLiteral("-2.5")), QStringLiteral("-2"));

    number->SetNumberZeroPad(zpLeft);
    number->NumberPaddingProps()->SetNumberPaddingWidth(5);
    EXPECT_EQ(Shown(QStringLiteral("-42")), QStringLiteral("-00042"));
    EXPECT_EQ(Shown(QStringLiteral("42")), QStringLiteral("00042"));
    number->SetNumberZeroPad(zpNone);

    number->SetNumberSeparateThousands(true);
    EXPECT_EQ(Shown(QStringLiteral("123456")), QStringLiteral("123,456"));
    EXPECT_EQ(Shown(QStringLiteral("-123")), QStringLiteral("-123"));
    EXPECT_EQ(Shown(QStringLiteral("-1234")), QStringLiteral("-1,234"));
    number->SetNumberDecPlaces(2);
    EXPECT_EQ(Shown(QStringLiteral("1234567.89")), QStringLiteral("1,234,567.89"));
    number->SetNumberDecPlaces(1);
    EXPECT_EQ(Shown(QStringLiteral("-1234.5")), QStringLiteral("-1,234.5"));

    // An empty text shows zero unless told not to; a text that is no number shows NAN.
    number->SetNumberSeparateThousands(false);
    number->SetNumberDecPlaces(2);
    EXPECT_EQ(Shown(QString()), QStringLiteral("0.00"));
    number->SetNumberDisplayZero(false);
    EXPECT_EQ(Shown(QString()), QString());
    EXPECT_EQ(Shown(QStringLiteral("abc")), QStringLiteral("NAN"));
    EXPECT_EQ(box->WYSIWYGEngine()->WrappedText(), QStringLiteral("NAN"));

    // While focused the raw text is edited, and the layout shows it.
    box->SetText(QStringLiteral("3"));
    box->SetFocus(QPoint(-1, -1));
    EXPECT_EQ(box->DisplayText(box->Text()), QStringLiteral("3"));
    EXPECT_EQ(box->WYSIWYGEngine()->WrappedText(), QStringLiteral("3"));
    box->KillFocus();
    EXPECT_EQ(box->WYSIWYGEngine()->WrappedText(), QStringLiteral("3.00"));

    // Without numerics only the text is shown as typed (upper case still applies).
    number->SetNumberNumericsOnly(false);
    box->VisualCharacterProps()->SetCharacterStyle(csUpperCase);
    EXPECT_EQ(Shown(QStringLiteral("3x")), QStringLiteral("3X"));

    // The reserved numeric web kind keeps numbers as typed.
    box->VisualCharacterProps()->SetCharacterStyle({});
    number->SetNumberNumericsOnly(true);
    box->Kind = 218;
    EXPECT_EQ(Shown(QStringLiteral("1.5")), QStringLiteral("1.5"));
    EXPECT_EQ(Shown(QStringLiteral("1.5x")), QStringLiteral("NAN"));
}

TEST_F(Numeric, ValueComesFromTheUnpaddedTextRoundedToTheDecimals)
{
    number->SetNumberNumericsOnly(true);
    number->SetNumberDecPlaces(0);
    number->SetNumberZeroPad(zpRight);
    number->NumberPaddingProps()->SetNumberPaddingWidth(5);
    EXPECT_EQ(Shown(QStringLiteral("42")), QStringLiteral("42000"));
    EXPECT_EQ(box->AsFloat(), 42);
    number->SetNumberZeroPad(zpLeft);
    box->SetText(QStringLiteral("-7"));
    EXPECT_EQ(box->AsFloat(), -7);

    number->SetNumberZeroPad(zpNone);
    number->SetNumberDecPlaces(2);
    number->SetNumberSeparateThousands(true);
    box->SetText(QStringLiteral("1234.346"));
    EXPECT_EQ(box->AsFloat(), GlobalSetDecPlaces(1234.35L, 2));
    for (const char *text : {"", "-", "abc", "1,234"}) {
        box->SetText(QLatin1String(text));
        EXPECT_EQ(box->AsFloat(), 0) << text;
    }
}

TEST_F(Numeric, ValidationRefusesWhatIsNoNumberAndWhatIsOutOfRange)
{
    EXPECT_EQ(Refusal(QStringLiteral("abc")), QString());
    number->SetNumberNumericsOnly(true);
    EXPECT_EQ(Refusal(QString()), QString());
    EXPECT_EQ(Refusal(QStringLiteral("abc")), QStringLiteral("Not a valid number."));
    EXPECT_EQ(Refusal(QStringLiteral("-")), QStringLiteral("Not a valid number."));
    // Minimum and maximum both 0: no range at all.
    EXPECT_EQ(Refusal(QStringLiteral("-5000")), QString());

    number->SetNumberMaxValue(100);
    EXPECT_EQ(Refusal(QStringLiteral("100")), QString());
    EXPECT_EQ(Refusal(QStringLiteral("100.01")), QStringLiteral("Amount is invalid!"));
    EXPECT_EQ(Refusal(QStringLiteral("-1")), QStringLiteral("Amount is invalid!"));
    QStringList messages = box->VisualValidationProps()->ValidationErrMsgsList();
    messages[1] = QStringLiteral("<NAME> may not exceed 100.");
    box->VisualValidationProps()->SetValidationErrMsgsList(messages);
    EXPECT_EQ(Refusal(QStringLiteral("150")), QStringLiteral("Amount may not exceed 100."));

    Extended value = 0;
    for (const char *text : {"12", " +5 ", ".5", "5.", "-1.5e2"})
        EXPECT_TRUE(Global_TextToFloat(QLatin1String(text), value)) << text;
    EXPECT_EQ(value, -150);
    for (const char *text : {"", "-", "-.", ".", "1,000", "1 2", "0x10", "1e99999", "\xd9\xa3"})
        EXPECT_FALSE(Global_TextToFloat(QString::fromUtf8(text), value)) << text;
}

TEST_F(Numeric, NumberChangesRecalculateTheFormOnlyForNumerics)
{
    box->Codes.clear();
    number->SetNumberDecPlaces(3);
    EXPECT_TRUE(listener->Heard.isEmpty());
    EXPECT_EQ(box->Codes, QList<int> {1});

    const auto recalculated = [&] {
        const bool heard = listener->Heard
            == QList<std::pair<std::uint32_t, std::uintptr_t>> {{VRMSGCalcReset, 1},
                                                                {VRMSGCalcUpdate, 0}};
        listener->Heard.clear();
        return heard;
    };
    mainWindow.Received.clear();
    number->SetNumberNumericsOnly(true);
    EXPECT_TRUE(recalculated());
    EXPECT_EQ(mainWindow.Count(VRMSGVisualPgCtrlTextChanged), 1);
    number->SetNumberNumericsOnly(false);
    EXPECT_TRUE(recalculated());

    number->SetNumberNumericsOnly(true);
    recalculated();
    number->SetNumberMinValue(-1);
    EXPECT_TRUE(recalculated());
    number->NumberPaddingProps()->SetNumberPadding(zpRight);
    EXPECT_EQ(number->NumberZeroPad(), zpRight);
    EXPECT_TRUE(recalculated());
    box->Codes.clear();
    number->NumberPaddingProps()->SetNumberPaddingWidth(4);
    EXPECT_TRUE(recalculated());
    EXPECT_EQ(box->Codes, QList<int> {8});

    // Display settings lay the text out again without a recalculation.
    box->SetText(QStringLiteral("1234"));
    number->SetNumberZeroPad(zpNone);
    recalculated();
    number->SetNumberSeparateThousands(true);
    EXPECT_TRUE(listener->Heard.isEmpty());
    EXPECT_EQ(box->WYSIWYGEngine()->WrappedText(), QStringLiteral("1,234.000"));

    // A document being read is calculated once it is all there.
    {
        TGlobalFlagScope loading(GlobalLoadingProject);
        number->SetNumberDecPlaces(1);
    }
    EXPECT_TRUE(listener->Heard.isEmpty());
}

TEST_F(Numeric, GroupsPublishInspectAndExportAsNumericElementsDo)
{
    QStringList names;
    for (const QMetaProperty &p : StoredProperties(box->metaObject()))
        names.append(QLatin1String(p.name()));
    EXPECT_EQ(names.mid(names.indexOf(QStringLiteral("TabOrder"))),
              QStringList({"TabOrder", "VisualNumberProps", "VisualBorderProps",
                           "VisualGeneralProps", "VisualTABOnProps", "VisualValidationProps"}));
    names.clear();
    for (const QMetaProperty &p : StoredProperties(number->metaObject())) {
        names.append(QLatin1String(p.name()));
        if (QLatin1String(p.name()) != QLatin1String("NumberPaddingProps")) {
            EXPECT_TRUE(IsDefaultValue(number, p)) << p.name();
        }
    }
    EXPECT_EQ(names,
              QStringList({"NumberDecPlaces", "NumberDisplayZero", "NumberMaxValue",
                           "NumberMinValue", "NumberNumericsOnly", "NumberPaddingProps",
                           "NumberSeparateThousands", "NumberZeroPad"}));
    number->SetNumberZeroPad(zpLeft);
    TPropGroupNumberPadding *padding = number->NumberPaddingProps();
    EXPECT_EQ(
        PropertyValueText(
            padding, FindStoredProperty(padding->metaObject(), QStringLiteral("NumberPadding"))),
        QStringLiteral("zpLeft"));
    number->SetNumberMaxValue(0.125L);
    EXPECT_EQ(number->NumberMaxValue(), 0.125L);

    // The substituted groups take their extra values without a report.
    box->Codes.clear();
    box->NumericGeneralProps()->SetGeneralMaxChars(8);
    box->NumericTABOnProps()->SetTABOnDecimalPoint(true);
    box->NumericTABOnProps()->SetTABOnMaxChars(true);
    EXPECT_TRUE(box->Codes.isEmpty());
    EXPECT_EQ(box->NumericGeneralProps()->GeneralMaxChars(), 8);

    EXPECT_EQ(box->VisualValidationProps()->ValidationErrMsgsList(),
              QStringList({"<Name> is incomplete!", "<Name> is invalid!"}));
    TPropHelper helper;
    helper.AddInfo(QStringLiteral("GeneralFocusControl"), QStringLiteral("Focus"), 1);
    box->AddRemovePropHelperInf(&helper);
    EXPECT_FALSE(helper.PropUsed(QStringLiteral("GeneralFocusControl")));
    EXPECT_FALSE(helper.PropUsed(QStringLiteral("NumberZeroPad")));
    EXPECT_TRUE(helper.Translated(QStringLiteral("numberpaddingprops")));
    EXPECT_EQ(GlobalGeneralString, QStringLiteral("Zero Pad"));
    EXPECT_EQ(box->HlpCtx(QStringLiteral("TABOnDecimalPoint")), 105);
    EXPECT_EQ(box->HlpCtx(QStringLiteral("FixedWidth")), 203);
    EXPECT_EQ(box->HlpCtx(QStringLiteral("NumberPaddingWidth")), 206);

    EXPECT_FALSE(box->IsCalcField());
    number->SetNumberNumericsOnly(true);
    EXPECT_TRUE(box->IsCalcField());

    number->SetNumberMaxValue(0);
    EXPECT_FALSE(box->HasHTMLValidation());
    EXPECT_EQ(box->GetValidationHTML(0), QString());
    number->SetNumberMinValue(-5);
    number->SetNumberMaxValue(100.5L);
    EXPECT_TRUE(box->HasHTMLValidation());
    const QString range = QStringLiteral("        'Amount', '-5_100.5', '1', 'Amount is invalid!'");
    EXPECT_EQ(box->GetValidationHTML(0), range);
    box->VisualValidationProps()->SetValidationRequired(true);
    EXPECT_EQ(box->GetValidationHTML(0),
              QStringLiteral("        'Amount', '#q', '0', 'Amount is incomplete!',\r\n") + range);
}

#include "test_numeric.moc"
