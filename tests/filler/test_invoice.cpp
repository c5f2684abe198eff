// The invoice example filled in by typing: amounts, subtotal, tax and total
// follow each key, print as shown, and come back after saving and opening again.

#include "CAppPaths.h"
#include "CPrinterService.h"
#include "ExampleForms.h"
#include "PdfWords.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString Shown(const char *name)
{
    TVisualPgCtrl *element = Element(name);
    return element ? element->DisplayText(element->Text()) : QStringLiteral("<missing>");
}

class Invoice : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        ScriptedDialogs().Reset();
        PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
    }
    void TearDown() override
    {
        window.reset();
        ScriptedDialogs().VerifyAllUsed();
    }
    static void Fill(const char *name, const QString &text)
    {
        ClickInto(name);
        TypeInto(text);
    }

    QTemporaryDir dir;
    std::unique_ptr<TFillerMainForm> window;
};
} // namespace

TEST_F(Invoice, TotalsFollowTypingPrintAndComeBackAfterSaving)
{
    window = OpenExample(dir, "Invoice.vld");
    ASSERT_TRUE(window);
    // Nothing entered: nothing owed, and zero amounts are not shown.
    EXPECT_EQ(Shown("Total"), QString());

    Fill("Item1", QStringLiteral("Paper"));
    Fill("Qty1", QStringLiteral("3"));
    Fill("Price1", QStringLiteral("12.5"));
    // Each key recomputes: the amount is there before leaving the box.
    EXPECT_EQ(Shown("Amount1"), QStringLiteral("37.50"));
    Fill("Item2", QStringLiteral("Ink"));
    Fill("Qty2", QStringLiteral("2"));
    Fill("Price2", QStringLiteral("1250"));
    Fill("Qty3", QStringLiteral("1"));
    Fill("Price3", QStringLiteral("0.99"));
    Tab();
    EXPECT_EQ(Shown("Amount2"), QStringLiteral("2,500.00"));
    EXPECT_EQ(Shown("Subtotal"), QStringLiteral("2,538.49"));
    EXPECT_EQ(Shown("Tax"), QStringLiteral("203.08"));
    EXPECT_EQ(Shown("Total"), QStringLiteral("2,741.57"));
    // Correcting a quantity moves every total that depends on it.
    ClickInto("Qty1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    TypeInto(QStringLiteral("4"));
    Tab();
    EXPECT_EQ(Shown("Amount1"), QStringLiteral("50.00"));
    EXPECT_EQ(Shown("Total"), QStringLiteral("2,755.07"));
    SaveScreenshot(*window, QStringLiteral("invoice-filled.png"));

    const QString pdf = dir.filePath(QStringLiteral("invoice.pdf"));
    PrinterService().SetOutputFileName(pdf);
    ASSERT_TRUE(window->Print(false, false, 0, 1, 0, 0));
    QStringList printed;
    for (const TWord &word : PdfWords(pdf).value(0))
        printed << word.Text;
    for (const char *value : {"50.00", "2,500.00", "0.99", "2,550.99", "204.08", "2,755.07"})
        EXPECT_TRUE(printed.contains(QString::fromLatin1(value))) << value;

    const QString path = window->DocumentPath();
    ASSERT_TRUE(window->Save());
    window.reset();
    window = StartFillerWindow(QStringLiteral(VELORA_BIN_DIR "/"), path);
    ASSERT_TRUE(window->HasDocument());
    EXPECT_EQ(Shown("Qty1"), QStringLiteral("4"));
    EXPECT_EQ(Shown("Subtotal"), QStringLiteral("2,550.99"));
    EXPECT_EQ(Shown("Total"), QStringLiteral("2,755.07"));
}
