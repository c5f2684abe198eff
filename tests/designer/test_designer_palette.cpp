// The palette and its visibility dialog in the designer window: kinds chosen
// with the mouse are drawn onto the page, hidden tabs and buttons stay hidden
// across starts, Cancel puts back what showed; the tool windows show only while
// designing, as their View commands say.

#include "DesignerTestWindow.h"

#include "CAppPaths.h"
#include "CPaletteForm.h"
#include "Cini.h"

#include <QAction>
#include <QDialog>
#include <QDockWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace {
constexpr int kTextBox = 20;

class DesignerPalette : public DesignerWindowTest
{
protected:
    void Start() { StartWithPlugIns(); }
    TPaletteForm &Palette() const { return *window->Palette(); }
    // The palette menu's "Hide/Show Plug-ins".
    void HideShow() const
    {
        Palette().findChild<QAction *>(QStringLiteral("HideShowPlugIns"))->trigger();
    }
    QDockWidget *Dock() const
    {
        return window->findChild<QDockWidget *>(QStringLiteral("PaletteDock"));
    }
    int TextBoxGroup() const
    {
        for (int g = 0; g < Palette().GroupCount(); ++g)
            if (Palette().GroupKinds(g).contains(kTextBox))
                return g;
        return -1;
    }
    // Clicks the item of the visibility dialog's tree named so.
    static void ClickItem(QTreeWidget *tree, const QString &text)
    {
        const QList<QTreeWidgetItem *> items
            = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(items.size(), 1) << text.toStdString();
        const QRect at = tree->visualItemRect(items.front());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at.center());
    }
};

TEST_F(DesignerPalette, AKindChosenWithTheMouseIsDrawnOntoThePage)
{
    Start();
    ASSERT_GT(Palette().GroupCount(), 0);
    EXPECT_FALSE(Dock()->isVisible());
    Trigger("FileNewPaper");
    EXPECT_TRUE(Dock()->isVisible());
    QToolButton *button = Palette().KindButton(kTextBox);
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(Palette().ChosenKind(), kTextBox);
    EXPECT_EQ(window->PaletteKind(), kTextBox);

    TPrinterPage *page = window->ActivePage();
    const QPoint from = Engine()->mapFrom(
        window.get(), page->mapTo(window.get(), page->PaperRect().topLeft() + QPoint(60, 60)));
    QTest::mousePress(Engine(), Qt::LeftButton, {}, from);
    for (int i = 1; i <= 3; ++i) {
        const QPoint at = from + QPoint(40, 20) * i;
        QMouseEvent move(QEvent::MouseMove, at, Engine()->mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(Engine(), &move);
    }
    QTest::mouseRelease(Engine(), Qt::LeftButton, {}, from + QPoint(120, 60));
    QCoreApplication::processEvents();
    ASSERT_EQ(Selected().size(), 1);
    EXPECT_EQ(Selected().front()->size(), QSize(120, 60));
    // Placed once: the palette is back on "Element Selection".
    EXPECT_FALSE(Palette().KindChosen());
    EXPECT_TRUE(Palette().KindButton(0)->isChecked());
    SaveShot(QStringLiteral("designer_palette.png"));

    // Filling the form in hides the tool windows; F6 hides the palette while designing.
    QTest::keyClick(window.get(), Qt::Key_F4);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Dock()->isVisible());
    QTest::keyClick(window.get(), Qt::Key_F4);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Dock()->isVisible());
    QTest::keyClick(window.get(), Qt::Key_F6);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Dock()->isVisible());
    EXPECT_FALSE(
        INIReadBool(GlobalAppINI, QStringLiteral("Palette"), QStringLiteral("Visible"), true));
}

TEST_F(DesignerPalette, HiddenTabsAndKindsStayHiddenAndCancelPutsThemBack)
{
    Start();
    const int group = TextBoxGroup();
    ASSERT_GE(group, 0);
    const QString groupName = Palette().GroupName(group);
    const QString kindName = Palette().KindName(kTextBox);

    // Cancel: everything toggled comes back.
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        auto *tree = dialog.findChild<QTreeWidget *>(QStringLiteral("PlugInsTree"));
        ClickItem(tree, groupName);
        EXPECT_FALSE(Palette().GroupVisible(group));
        ClickItem(tree, kindName);
        EXPECT_FALSE(Palette().KindVisible(kTextBox));
        return int(QDialog::Rejected);
    });
    HideShow();
    EXPECT_TRUE(Palette().GroupVisible(group));
    EXPECT_TRUE(Palette().KindVisible(kTextBox));
    EXPECT_TRUE(INIReadSection(GlobalAppINI, QStringLiteral("Palette")).isEmpty());

    // OK: the kind and the tab hidden, and so they stay after a restart.
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        auto *tree = dialog.findChild<QTreeWidget *>(QStringLiteral("PlugInsTree"));
        ClickItem(tree, kindName);
        ClickItem(tree, groupName);
        return int(QDialog::Accepted);
    });
    HideShow();
    window.reset();
    Start();
    EXPECT_FALSE(Palette().GroupVisible(group));
    EXPECT_FALSE(Palette().KindVisible(kTextBox));

    // Showing one of its kinds shows the tab again.
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        ClickItem(dialog.findChild<QTreeWidget *>(QStringLiteral("PlugInsTree")), kindName);
        return int(QDialog::Accepted);
    });
    HideShow();
    EXPECT_TRUE(Palette().GroupVisible(group));
    EXPECT_TRUE(Palette().KindVisible(kTextBox));
}
} // namespace
