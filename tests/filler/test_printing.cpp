#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CClassRegistry.h"
#include "CDocumentBuilder.h"
#include "CFillerScrollBox.h"
#include "CGlobal.h"
#include "CPrinterOffsetsDlg.h"
#include "CPrinterService.h"
#include "CPrnOfsSelectDlg.h"
#include "CProjectPrint.h"
#include "CPropGroups.h"
#include "Cini.h"
#include "GlobalsGuard.h"
#include "PdfWords.h"
#include "ScriptedDialogService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// A text element that shows its default text, as text boxes do.
class TPrintTestBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
};

namespace {
const TClassRegistration<TPrintTestBox> registerBox;

class Printing : public ::testing::Test
{
protected:
    // First, so that it puts the globals back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
        PrinterService().DeviceMode() = TDeviceMode();
        pdf = dir.filePath(QStringLiteral("out.pdf"));
        PrinterService().SetOutputFileName(pdf);
    }
    void TearDown() override
    {
        PrinterService().DeviceMode() = TDeviceMode();
        ScriptedDialogs().VerifyAllUsed();
    }
    // Pages with one word each, "P0", "P1", …; paper codes as given.
    void Build(TDocumentBuilder &doc, std::initializer_list<int> papers)
    {
        int page = 0;
        for (const int paper : papers) {
            doc.AddPage();
            TGlobalFlagScope adding(GlobalAddingPage);
            doc.Settings(page)->PagePaperProps()->SetPaperSize(paper);
            auto *box = doc.Add<TPrintTestBox>(page, QStringLiteral("Box%1").arg(page),
                                               QRect(96, 96, 200, 30));
            box->VisualGeneralProps()->SetGeneralDefaultText(QStringLiteral("P%1").arg(page));
            ++page;
        }
    }
    static void AddOffset(const QString &name, const QString &printer, const QString &x,
                          const QString &y)
    {
        const QString section = QString::fromLatin1(CPRINTER_OFFSETS_SECTION);
        const int key = int(INIReadSection(GlobalAppINI, section).size());
        INIWriteStr(GlobalAppINI, section, QString::number(key),
                    Global_EncodeSavedPrnOfs({QString(), name, printer, x, y}));
    }

    QTemporaryDir dir;
    QString pdf;
};
} // namespace

TEST(PrinterOffsets, StoredEntriesDecodeAsWritten)
{
    QString name, printer, x, y;
    Global_DecodeSavedPrnOfs(QStringLiteral("\"Stationery A\", \"Office Laser\", 2.5, -1.0"), name,
                             printer, x, y);
    EXPECT_EQ(name, QStringLiteral("Stationery A"));
    EXPECT_EQ(printer, QStringLiteral("Office Laser"));
    EXPECT_EQ(x, QStringLiteral("2.5"));
    EXPECT_EQ(y, QStringLiteral("-1.0"));
    // A damaged value gives empty parts rather than reading past its end.
    Global_DecodeSavedPrnOfs(QStringLiteral("\"broken"), name, printer, x, y);
    EXPECT_EQ(name, QStringLiteral("broken"));
    EXPECT_TRUE(printer.isEmpty() && x.isEmpty() && y.isEmpty());
    Global_DecodeSavedPrnOfs(QString(), name, printer, x, y);
    EXPECT_TRUE(name.isEmpty());
}

TEST_F(Printing, RangesOrderAndPaperPerPage)
{
    TDocumentBuilder doc;
    Build(doc, {9, 9, 1}); // A4, A4, Letter

    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Nothing to print."));
    EXPECT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 2, 0, false, false, nullptr));
    EXPECT_FALSE(QFile::exists(pdf));

    // Reverse order skipping the unpublished middle page: Letter first, then A4.
    doc.Settings(1)->SetPagePublishPage(false);
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 2, true, false, nullptr));
    EXPECT_EQ(PdfPageSizes(pdf), (QStringList {"612x792", "595x842"}));
    const auto words = PdfWords(pdf);
    ASSERT_EQ(words.size(), 2);
    EXPECT_EQ(words[0].value(0).Text, QStringLiteral("P2"));
    EXPECT_EQ(words[1].value(0).Text, QStringLiteral("P0"));

    // A landscape page between portrait ones turns the paper for itself only.
    doc.Settings(1)->SetPagePublishPage(true);
    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("resize and reposition"));
    doc.Settings(1)->PagePaperProps()->SetPaperOrientation(poLandscape);
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 2, false, false, nullptr));
    EXPECT_EQ(PdfPageSizes(pdf), (QStringList {"595x842", "842x595", "612x792"}));
}

TEST_F(Printing, UnpublishedElementsStayOnScreenOnly)
{
    TDocumentBuilder doc;
    Build(doc, {9});
    auto *hidden = doc.Add<TPrintTestBox>(0, QStringLiteral("Hidden"), QRect(96, 300, 200, 30));
    hidden->VisualGeneralProps()->SetGeneralDefaultText(QStringLiteral("SECRET"));
    hidden->VisualGeneralProps()->SetGeneralPublish(false);
    EXPECT_TRUE(hidden->isVisible() || !hidden->isHidden());
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 0, false, false, nullptr));
    const auto words = PdfWords(pdf);
    ASSERT_EQ(words.size(), 1);
    QStringList texts;
    for (const TWord &word : words[0])
        texts << word.Text;
    EXPECT_EQ(texts, QStringList {QStringLiteral("P0")});
}

TEST_F(Printing, ASavedOffsetMovesEverythingPrintedByItsShift)
{
    TDocumentBuilder doc;
    Build(doc, {9});
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 0, false, false, nullptr));
    const TWord plain = PdfWords(pdf).value(0).value(0);

    // An entry for this printer, in other letter case, brings the dialog up.
    AddOffset(QStringLiteral("Laser tray"), TPrinterService::BuiltInPrinterName.toUpper(),
              QStringLiteral("2.5"), QStringLiteral("-1.0"));
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        auto &select = static_cast<TPrnOfsSelDlg &>(dialog);
        EXPECT_EQ(select.SavedOfsListBox()->currentRow(), 0);
        EXPECT_EQ(select.OffsetsLabel()->text(), QStringLiteral("2.5 mm, -1.0 mm"));
        dialog.accept();
        return dialog.result();
    });
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 0, false, false, nullptr));
    const TWord shifted = PdfWords(pdf).value(0).value(0);
    EXPECT_EQ(shifted.Text, plain.Text);
    // 2.5 mm right and 1 mm up, within a printer pixel (0.12 pt).
    EXPECT_NEAR(shifted.X - plain.X, 2.5 / 25.4 * 72, 0.15);
    EXPECT_NEAR(shifted.Y - plain.Y, -1.0 / 25.4 * 72, 0.15);
    EXPECT_EQ(GlobalDirtyPrnXOfs, 0);

    // Cancelling the choice abandons the print without an error.
    QFile::remove(pdf);
    ScriptedDialogs().ExpectModal([](QDialog &) { return int(QDialog::Rejected); });
    EXPECT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 0, false, false, nullptr));
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(Printing, ManualOffsetsAreCheckedBeforeTheDialogCloses)
{
    AddOffset(QStringLiteral("Other"), QStringLiteral("Somewhere Else"), QStringLiteral("1"),
              QStringLiteral("1"));
    TPrnOfsSelDlg dialog;
    // No entry of the current printer: nothing selected, nothing shown.
    EXPECT_EQ(dialog.SavedOfsListBox()->currentRow(), -1);
    EXPECT_TRUE(dialog.PrinterLabel()->text().isEmpty());
    dialog.show();
    dialog.UseManualOfsCheckBox()->click();
    EXPECT_FALSE(dialog.SavedOfsListBox()->isEnabled());

    // The edits take digits, "-", "." and Backspace only.
    dialog.OfsXAlignEdit()->clear();
    QTest::keyClicks(dialog.OfsXAlignEdit(), QStringLiteral("1a0,.0x1"));
    EXPECT_EQ(dialog.OfsXAlignEdit()->text(), QStringLiteral("10.01"));
    ScriptedDialogs().ExpectMessage(
        mrOk, QStringLiteral("The specified Offset is out of range (-10/+10 only please)."));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    dialog.OfsXAlignEdit()->setText(QStringLiteral("10"));
    dialog.OfsYAlignEdit()->clear();
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.OfsYAlignEdit()->text(), QStringLiteral("0.00"));
    EXPECT_EQ(double(dialog.OffsetX()), 10.0);
    EXPECT_EQ(double(dialog.OffsetY()), 0.0);

    TPrnOfsSelDlg ignoring;
    ignoring.IgnoreOfsCheckBox()->click();
    EXPECT_FALSE(ignoring.UseManualOfsCheckBox()->isEnabled());
    ignoring.accept();
    EXPECT_EQ(double(ignoring.OffsetX()), 0.0);
}

TEST_F(Printing, OffsetListKeepsDistinctEntriesAcrossEdits)
{
    for (const char *name : {"A", "B", "C"})
        AddOffset(QString::fromLatin1(name), QStringLiteral("Printer"), QStringLiteral("1.00"),
                  QStringLiteral("0.00"));
    {
        TPrinterOffsetsDlg offsets(nullptr);
        ASSERT_EQ(offsets.Entries().size(), 3);
        ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("delete the \"A\" printer offset ?"));
        offsets.DeleteEntry();
        ScriptedDialogs().ExpectModal([](QDialog &dialog) {
            auto &editor = static_cast<TPrinterOffsetsIODlg &>(dialog);
            EXPECT_EQ(editor.NameEdit()->text(), QStringLiteral("Untitled"));
            editor.NameEdit()->setText(QStringLiteral("D"));
            editor.XEdit()->clear();
            editor.YEdit()->setText(QStringLiteral("-10"));
            editor.accept();
            return editor.result();
        });
        offsets.AddEntry();
        EXPECT_EQ(offsets.List()->currentItem()->text(), QStringLiteral("D"));
    }
    TPrinterOffsetsDlg again(nullptr);
    QStringList names;
    for (const TSavedPrnOfs &entry : again.Entries())
        names << entry.Name;
    EXPECT_EQ(names, (QStringList {"B", "C", "D"}));
    EXPECT_EQ(again.Entries().last().X, QStringLiteral("0.00"));
    EXPECT_EQ(again.Entries().last().Y, QStringLiteral("-10"));
    EXPECT_EQ(INIReadSection(GlobalAppINI, QString::fromLatin1(CPRINTER_OFFSETS_SECTION)),
              (QStringList {"0", "1", "2"}));
}

TEST_F(Printing, TheEditorRefusesWhatTheStoredLineCannotHold)
{
    TPrinterOffsetsIODlg editor(nullptr, true);
    editor.show();
    editor.NameEdit()->setText(QStringLiteral("  "));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Please specify an Offset Name."));
    editor.accept();
    editor.NameEdit()->setText(QStringLiteral("Say \"hi\""));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("double quote"));
    editor.accept();
    editor.NameEdit()->setText(QStringLiteral("Fine"));
    editor.XEdit()->setText(QStringLiteral("-10.01"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("out of range"));
    editor.accept();
    EXPECT_TRUE(editor.isVisible());
    editor.XEdit()->setText(QStringLiteral("-10"));
    editor.accept();
    EXPECT_FALSE(editor.isVisible());
}

#include "test_printing.moc"
