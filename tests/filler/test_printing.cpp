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

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMarginsF>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

// A text element that shows its default text, as text boxes do.
class TPrintTestBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
};

// A box whose printing fails with something other than the library's own error.
class TFailingBox : public TPrintTestBox
{
    Q_OBJECT
public:
    using TPrintTestBox::TPrintTestBox;
    void DoPaint(const QRect &rect, QPainter &canvas, bool onScreen) override
    {
        if (!onScreen)
            throw std::runtime_error("ink ran out");
        TPrintTestBox::DoPaint(rect, canvas, onScreen);
    }
};

// A box that presses Cancel in the progress window while it prints.
class TCancellingBox : public TPrintTestBox
{
    Q_OBJECT
public:
    using TPrintTestBox::TPrintTestBox;
    void DoPaint(const QRect &rect, QPainter &canvas, bool onScreen) override
    {
        if (!onScreen)
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *gauge = qobject_cast<TCommonGaugeForm *>(top))
                    QTest::mouseClick(gauge->CancelButton(), Qt::LeftButton);
        TPrintTestBox::DoPaint(rect, canvas, onScreen);
    }
};

// Hands every dialog to the scripted service, noting whether a progress window
// was still there when a message box came up.
class TGaugeWatch : public TDialogService
{
public:
    int MessageBox(const TMessageRequest &request) override
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            GaugeUnderMessage = GaugeUnderMessage || qobject_cast<TCommonGaugeForm *>(top);
        return ScriptedDialogs().MessageBox(request);
    }
    QString OpenFileName(const TFileRequest &r) override
    {
        return ScriptedDialogs().OpenFileName(r);
    }
    QString SaveFileName(const TFileRequest &r) override
    {
        return ScriptedDialogs().SaveFileName(r);
    }
    QString FolderName(const QString &c, const QString &d) override
    {
        return ScriptedDialogs().FolderName(c, d);
    }
    bool PrintDialog(TPrintRequest &r) override { return ScriptedDialogs().PrintDialog(r); }
    int ExecModal(QDialog &d) override { return ScriptedDialogs().ExecModal(d); }
    bool OpenUrl(const QUrl &u) override { return ScriptedDialogs().OpenUrl(u); }
    void Beep() override { ScriptedDialogs().Beep(); }
    bool GaugeUnderMessage = false;
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
        PrinterService().SetBuiltInMargins(QMarginsF());
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

TEST_F(Printing, AnyFailureIsReportedAloneAndLeavesNoPartOfTheJob)
{
    TDocumentBuilder doc;
    Build(doc, {9, 9});
    doc.Add<TFailingBox>(1, QStringLiteral("Failing"), QRect(96, 300, 200, 30));
    // What an earlier print left at the output name stays as it was.
    {
        QFile earlier(pdf);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    auto *watch = new TGaugeWatch;
    std::unique_ptr<TDialogService> scripted
        = SetDialogService(std::unique_ptr<TDialogService>(watch));
    ScriptedDialogs().ExpectMessage(mrOk,
                                    QStringLiteral("Project printing error.\r>> ink ran out <<"));
    const bool printed
        = GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 1, false, true, nullptr);
    const bool gaugeUnderMessage = watch->GaugeUnderMessage;
    SetDialogService(std::move(scripted));
    EXPECT_FALSE(printed);
    EXPECT_FALSE(gaugeUnderMessage);
    ASSERT_FALSE(ScriptedDialogs().Shown().isEmpty());
    EXPECT_EQ(ScriptedDialogs().Shown().last().Type, mtError);
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("earlier"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("out.pdf")});
    EXPECT_EQ(GlobalDirtyPrnXOfs, 0);
}

TEST_F(Printing, ACancelledJobLeavesNoFileBehind)
{
    TDocumentBuilder doc;
    Build(doc, {9, 9});
    doc.Add<TCancellingBox>(0, QStringLiteral("Cancelling"), QRect(96, 300, 200, 30));
    EXPECT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 1, false, true, nullptr));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(Printing, APageWithoutColourIsNotFilled)
{
    TDocumentBuilder doc;
    Build(doc, {9});
    ASSERT_EQ(doc.Settings(0)->PageFillProps()->FillColor(), clNone);
    ASSERT_TRUE(doc.Settings(0)->PageFillProps()->FillPublish());
    // The page at a twentieth of the printer's pixels; a corner far from the box and margins.
    const auto corner = [] {
        QImage sheet(249, 351, QImage::Format_ARGB32_Premultiplied);
        sheet.fill(Qt::transparent);
        QPainter canvas(&sheet);
        canvas.scale(0.05, 0.05);
        GlobalPrintPage(canvas, 0, 0, 0);
        canvas.end();
        return sheet.pixelColor(5, 345);
    };
    EXPECT_EQ(corner().alpha(), 0);
    doc.Settings(0)->PageFillProps()->SetFillColor(clYellow);
    EXPECT_EQ(corner(), QColor(Qt::yellow));
    doc.Settings(0)->PageFillProps()->SetFillPublish(false);
    EXPECT_EQ(corner().alpha(), 0);
}

TEST_F(Printing, PagesTurnedDifferentlyPrintOnTheirOwnPaperAndLeaveThePrintersAlone)
{
    TDocumentBuilder doc;
    Build(doc, {9, 9});
    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("resize and reposition"));
    doc.Settings(1)->PagePaperProps()->SetPaperOrientation(poLandscape);
    // Beyond the width of the portrait paper.
    auto *far = doc.Add<TPrintTestBox>(1, QStringLiteral("Far"), QRect(900, 500, 150, 30));
    far->VisualGeneralProps()->SetGeneralDefaultText(QStringLiteral("Far"));
    const TDeviceMode before = PrinterService().DeviceMode();

    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 1, false, false, nullptr));
    EXPECT_EQ(PdfPageSizes(pdf), (QStringList {"595x842", "842x595"}));
    const auto pages = PdfWords(pdf);
    ASSERT_EQ(pages.size(), 2);
    const TWord *word = nullptr;
    for (const TWord &w : pages[1])
        word = w.Text == QStringLiteral("Far") ? &w : word;
    ASSERT_NE(word, nullptr);
    const double left = double(far->BaseRelLeft()) / 100 * 842;
    const double top = double(far->BaseRelTop()) / 100 * 595;
    EXPECT_NEAR(word->X, left, 2);
    EXPECT_GT(word->Y, top);
    EXPECT_LT(word->YMax, top + double(far->BaseRelHeight()) / 100 * 595);

    // The paper the job turned page by page was the job's alone.
    EXPECT_EQ(PrinterService().DeviceMode().Orientation, before.Orientation);
    EXPECT_EQ(PrinterService().DeviceMode().PaperWidth, before.PaperWidth);
    EXPECT_EQ(PrinterService().DeviceMode().PaperLength, before.PaperLength);
    EXPECT_EQ(PrinterService().DeviceMode().PaperSize, before.PaperSize);
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

TEST_F(Printing, OffsetsThatAreNoFiniteNumberAreRefusedAsNotANumber)
{
    // Pasting gets past the key filter, so the check on closing is all there is.
    const auto paste = [](QLineEdit *edit, const QString &text) {
        QApplication::clipboard()->setText(text);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), text);
    };
    TPrnOfsSelDlg dialog;
    dialog.show();
    dialog.UseManualOfsCheckBox()->click();
    for (const QString &bad : {QStringLiteral("nan"), QStringLiteral("inf"), QStringLiteral("-inf"),
                               QStringLiteral("NaN")}) {
        paste(dialog.OfsXAlignEdit(), bad);
        ScriptedDialogs().ExpectMessage(mrOk, QString::fromLatin1(SOffsetNotANumber));
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << bad.toStdString();
    }
    paste(dialog.OfsXAlignEdit(), QStringLiteral("1.5"));
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(double(dialog.OffsetX()), 1.5);

    // The offsets editor keeps such a value out of the settings file.
    TPrinterOffsetsIODlg editor(nullptr, true);
    editor.show();
    paste(editor.YEdit(), QStringLiteral("nan"));
    ScriptedDialogs().ExpectMessage(mrOk, QString::fromLatin1(SOffsetNotANumber));
    editor.accept();
    EXPECT_TRUE(editor.isVisible());

    // One written into the file by hand shifts nothing.
    AddOffset(QStringLiteral("Damaged"), TPrinterService::BuiltInPrinterName, QStringLiteral("nan"),
              QStringLiteral("2"));
    TPrnOfsSelDlg saved;
    ASSERT_EQ(saved.SavedOfsListBox()->currentRow(), 0);
    saved.accept();
    EXPECT_EQ(double(saved.OffsetX()), 0.0);
    EXPECT_EQ(double(saved.OffsetY()), 2.0);
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

TEST_F(Printing, UnprintableMarginsOfThePrinterDoNotMoveThePrint)
{
    TDocumentBuilder doc;
    Build(doc, {9, 9});
    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("resize and reposition"));
    doc.Settings(1)->PagePaperProps()->SetPaperOrientation(poLandscape);
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 1, false, false, nullptr));
    const auto edgeToEdge = PdfWords(pdf);
    ASSERT_EQ(edgeToEdge.size(), 2);

    // 100 and 75 printer pixels on portrait paper; turned, 50 and 100.
    PrinterService().SetBuiltInMargins(QMarginsF(4.23, 3.17, 0, 2.12));
    PrinterService().DeviceMode().Orientation = poPortrait;
    EXPECT_EQ(PrinterService().PhysicalOffset(), QPoint(100, 75));
    PrinterService().DeviceMode().Orientation = poLandscape;
    EXPECT_EQ(PrinterService().PhysicalOffset(), QPoint(50, 100));
    PrinterService().DeviceMode().Orientation = poPortrait;
    {
        // The canvas's origin really is the printable corner, so printing must make up for it.
        TPrintJob job;
        const QRectF printable = job.Printer().pageRect(QPrinter::DevicePixel);
        EXPECT_NEAR(printable.left(), 100, 1);
        EXPECT_NEAR(printable.top(), 75, 1);
    }
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 1, false, false, nullptr));
    EXPECT_EQ(PdfPageSizes(pdf), (QStringList {"595x842", "842x595"}));
    const auto margined = PdfWords(pdf);
    ASSERT_EQ(margined.size(), 2);
    const QSizeF paperPt[]
        = {{210 / 25.4 * 72, 297 / 25.4 * 72}, {297 / 25.4 * 72, 210 / 25.4 * 72}};
    for (int page = 0; page < 2; ++page) {
        ASSERT_EQ(margined[page].size(), 1) << page;
        const TWord &word = margined[page][0];
        const TWord &plain = edgeToEdge[page].value(0);
        EXPECT_EQ(word.Text, plain.Text);
        // Within a printer pixel (0.12 pt) of the print without margins.
        EXPECT_NEAR(word.X, plain.X, 0.15) << page;
        EXPECT_NEAR(word.Y, plain.Y, 0.15) << page;
        // And inside its box as designed on the paper.
        const TVisualPgCtrl *box = nullptr;
        for (const auto *element : doc.View(page)->findChildren<TVisualPgCtrl *>())
            box = element->Name() == QStringLiteral("Box%1").arg(page) ? element : box;
        ASSERT_NE(box, nullptr);
        const QRectF designed(double(box->BaseRelLeft()) / 100 * paperPt[page].width(),
                              double(box->BaseRelTop()) / 100 * paperPt[page].height(),
                              double(box->BaseRelWidth()) / 100 * paperPt[page].width(),
                              double(box->BaseRelHeight()) / 100 * paperPt[page].height());
        EXPECT_NEAR(word.X, designed.left(), 2) << page;
        EXPECT_GT(word.Y, designed.top() - 1) << page;
        EXPECT_LT(word.YMax, designed.bottom()) << page;
    }
}

TEST_F(Printing, IgnoringOffsetsPrintsUnshiftedThoughASavedOneIsSelected)
{
    TDocumentBuilder doc;
    Build(doc, {9});
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 0, false, false, nullptr));
    const TWord plain = PdfWords(pdf).value(0).value(0);

    AddOffset(QStringLiteral("Laser tray"), TPrinterService::BuiltInPrinterName,
              QStringLiteral("2.5"), QStringLiteral("-1.0"));
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        auto &select = static_cast<TPrnOfsSelDlg &>(dialog);
        dialog.show();
        EXPECT_EQ(select.SavedOfsListBox()->currentRow(), 0);
        // On its box: the check box is wider than its caption.
        QCheckBox *ignore = select.IgnoreOfsCheckBox();
        QTest::mouseClick(ignore, Qt::LeftButton, {},
                          QPoint(ignore->height() / 2, ignore->height() / 2));
        EXPECT_TRUE(ignore->isChecked());
        EXPECT_EQ(select.SavedOfsListBox()->currentRow(), 0);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("OKButton")),
                          Qt::LeftButton);
        return dialog.result();
    });
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 0, false, false, nullptr));
    const TWord ignored = PdfWords(pdf).value(0).value(0);
    EXPECT_EQ(ignored.Text, plain.Text);
    EXPECT_NEAR(ignored.X, plain.X, 0.05);
    EXPECT_NEAR(ignored.Y, plain.Y, 0.05);
}

TEST_F(Printing, TheLastPaperFormIsAppliedLikeAnyOther)
{
    const TPaperForm last = PaperForms().last();
    const auto points = [](double mm) {
        return qRound(mm / 25.4 * 72);
    };
    const QString paper = QStringLiteral("%1x%2")
                              .arg(points(last.SizeMm.width()))
                              .arg(points(last.SizeMm.height()));
    ASSERT_NE(paper, QStringLiteral("595x842"));
    TDocumentBuilder doc;
    Build(doc, {last.Code});
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 0, false, false, nullptr));
    EXPECT_EQ(PdfPageSizes(pdf), QStringList {paper});
    EXPECT_EQ(PdfWords(pdf).value(0).value(0).Text, QStringLiteral("P0"));

    // The code names the paper, whatever millimetres the device mode still holds.
    TDeviceMode &mode = PrinterService().DeviceMode();
    mode = TDeviceMode();
    mode.PaperSize = last.Code;
    const QSizeF size = PrinterService().PageLayout().pageSize().size(QPageSize::Millimeter);
    EXPECT_NEAR(size.width(), last.SizeMm.width(), 0.5);
    EXPECT_NEAR(size.height(), last.SizeMm.height(), 0.5);
}

#include "test_printing.moc"
