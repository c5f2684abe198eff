// The string editor window behind every text a dialog asks for: one line closes
// with Enter, many lines take Enter as a line break and keep CR LF, typing goes
// on at the end of the text, and Escape leaves the text as it was.

#include "CGlobal.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class StringEditor : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    void SetUp() override { ScriptedDialogs().Reset(); }
    void TearDown() override { ScriptedDialogs().VerifyAllUsed(); }
};

TEST_F(StringEditor, OneLineClosesWithEnterAndManyLinesKeepTheirBreaks)
{
    ScriptedDialogs().ExpectModal([](QDialog &dlg) {
        dlg.show();
        auto *line = dlg.findChild<QLineEdit *>();
        EXPECT_EQ(line->cursorPosition(), 3);
        QTest::keyClicks(line, QStringLiteral("de"));
        QTest::keyClick(line, Qt::Key_Return);
        return dlg.result();
    });
    QString result;
    ASSERT_TRUE(GlobalGetTextDlg(QStringLiteral("abc"), QStringLiteral(" Name"), true, result, 0));
    EXPECT_EQ(result, QStringLiteral("abcde"));

    ScriptedDialogs().ExpectModal([](QDialog &dlg) {
        dlg.show();
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Address"));
        auto *memo = dlg.findChild<QPlainTextEdit *>();
        EXPECT_EQ(memo->textCursor().position(), memo->toPlainText().size());
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("Town"));
        EXPECT_TRUE(dlg.isVisible());
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(GlobalGetTextDlg(QStringLiteral("1 Road\r\nNorth"), QStringLiteral(" Address"),
                                 false, result, 0));
    EXPECT_EQ(result, QStringLiteral("1 Road\r\nNorth\r\nTown"));

    ScriptedDialogs().ExpectModal([](QDialog &dlg) {
        dlg.show();
        QTest::keyClicks(dlg.findChild<QLineEdit *>(), QStringLiteral("zzz"));
        QTest::keyClick(dlg.findChild<QLineEdit *>(), Qt::Key_Escape);
        return dlg.result();
    });
    EXPECT_FALSE(GlobalGetTextDlg(QStringLiteral("kept"), QString(), true, result, 0));
    EXPECT_EQ(result, QStringLiteral("kept"));
}
} // namespace
