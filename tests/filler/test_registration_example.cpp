// The Registration example in the filler with the real plug-ins: a list-only
// title chosen from its list with the keys, a country completed from typing,
// saved and read back.

#include "CBasePgCtrl.h"
#include "CFillerMainForm.h"
#include "ExampleForms.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

TEST(RegistrationExample, TitleFromItsListCountryFromTypingAndBothKeptBySaving)
{
    TGlobalsGuard globals;
    ScriptedDialogs().Reset();
    QTemporaryDir dir;
    auto window = OpenExample(dir, "Registration.vld");
    // The form opens with the caret in the title, which is chosen from its list.
    ASSERT_EQ(TVisualPgCtrl::FocusedElement(), Element("Title"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Element("Title")->Text(), QStringLiteral("Mrs"));

    ClickInto("Country");
    TypeInto(QStringLiteral("fr"));
    Tab();
    EXPECT_EQ(Element("Country")->Text(), QStringLiteral("France"));

    ASSERT_TRUE(window->Save());
    const QString path = window->DocumentPath();
    window.reset();
    window = StartFillerWindow(QStringLiteral(VELORA_BIN_DIR "/"), path);
    EXPECT_EQ(Element("Title")->Text(), QStringLiteral("Mrs"));
    EXPECT_EQ(Element("Country")->Text(), QStringLiteral("France"));
    window.reset();
    ScriptedDialogs().VerifyAllUsed();
}
