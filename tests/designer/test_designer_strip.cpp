// The non-visual strip: a button per element that has no place on paper, laid
// out left to right, shown only while designing a document that has any; its
// own designer deletes, copies and pastes the elements, with undo.

#include "DesignerTestWindow.h"

#include <QPointer>

namespace {
// A hidden field of the tests: an element with no place on paper.
class TDesignTestHidden : public TNonVisualPgCtrl
{
    Q_OBJECT
public:
    using TNonVisualPgCtrl::TNonVisualPgCtrl;
    int ClassTypeID() const override { return 220; }
};
const TClassRegistration<TDesignTestHidden> registerHidden;

class DesignerStrip : public DesignerWindowTest
{
protected:
    void OpenWithHiddenFields()
    {
        Open(2, 2, [](TDocumentBuilder &doc) {
            doc.Add<TDesignTestHidden>(0, QStringLiteral("Hidden1"), QRect(0, 0, 32, 32));
            doc.Add<TDesignTestHidden>(0, QStringLiteral("Hidden2"), QRect(0, 0, 32, 32));
        });
    }
    QWidget *Strip() const { return window->findChild<QWidget *>(QStringLiteral("NVCtrlsPanel")); }
    TSurfaceDesignerEngine *StripEngine() const { return window->SurfaceDesigner2()->Engine(); }
    QWidget *Button(const char *element) const
    {
        return window->StripButtonOf(Global_FormElementRef(QString::fromLatin1(element)));
    }
    void ClickButton(QWidget *button)
    {
        const QPoint at
            = StripEngine()->mapFrom(window.get(), button->mapTo(window.get(), QPoint(5, 5)));
        QTest::mouseClick(StripEngine(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
    }
    void StripKey(int key, Qt::KeyboardModifiers mods = {})
    {
        StripEngine()->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(StripEngine(), Qt::Key(key), mods);
        QCoreApplication::processEvents();
    }
};

TEST_F(DesignerStrip, ButtonsStandInARowAndTheStripHidesWithTheLastOne)
{
    OpenWithHiddenFields();
    ASSERT_TRUE(Strip()->isVisible());
    ASSERT_TRUE(Button("Hidden1") && Button("Hidden2"));
    EXPECT_EQ(Button("Hidden1")->geometry(), QRect(2, 2, 31, 30));
    EXPECT_EQ(Button("Hidden2")->geometry(), QRect(35, 2, 31, 30));
    SaveShot(QStringLiteral("designer_strip.png"));

    // Deleting one re-lays the rest; undo brings the element and its button back.
    QPointer<QWidget> hidden1
        = qobject_cast<QWidget *>(Global_FormElementRef(QStringLiteral("Hidden1")));
    ClickButton(Button("Hidden1"));
    EXPECT_EQ(StripEngine()->SelCount(), 1);
    EXPECT_TRUE(Selected().isEmpty());
    StripKey(Qt::Key_Delete);
    EXPECT_FALSE(Global_FormElementRef(QStringLiteral("Hidden1")));
    ASSERT_TRUE(hidden1);
    EXPECT_EQ(Button("Hidden2")->geometry(), QRect(2, 2, 31, 30));
    StripKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Global_FormElementRef(QStringLiteral("Hidden1")), hidden1.data());
    ASSERT_TRUE(Button("Hidden1"));

    // Filling the form in shows no strip.
    QTest::keyClick(window.get(), Qt::Key_F4);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Strip()->isVisible());
    QTest::keyClick(window.get(), Qt::Key_F4);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Strip()->isVisible());

    StripKey(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(StripEngine()->SelCount(), 2);
    EXPECT_FALSE(Enabled("EditSelectAll"));
    EXPECT_FALSE(Enabled("ElementToFront"));
    StripKey(Qt::Key_Delete);
    EXPECT_FALSE(Strip()->isVisible());
    EXPECT_FALSE(window->SurfaceDesigner2()->Active());
}

TEST_F(DesignerStrip, CopiesPasteOnTheStripUnderNewNamesAndUndo)
{
    OpenWithHiddenFields();
    ClickButton(Button("Hidden2"));
    StripKey(Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(QFile::exists(GlobalAppNonVisualClipboardFile()));
    ASSERT_TRUE(Enabled("EditPaste"));
    StripKey(Qt::Key_V, Qt::ControlModifier);
    const QList<QWidget *> pasted = StripEngine()->SelectedCtrls();
    ASSERT_EQ(pasted.size(), 1);
    auto *copy = qobject_cast<TDesignTestHidden *>([&]() -> QWidget * {
        for (QObject *child : GlobalPgScrollBox(0)->children())
            if (auto *hidden = qobject_cast<TDesignTestHidden *>(child);
                hidden && window->StripButtonOf(hidden) == pasted.front())
                return hidden;
        return nullptr;
    }());
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->Name(), QStringLiteral("Hidden2"));
    EXPECT_EQ(copy->Owner(), GlobalPagesPageControl);
    EXPECT_EQ(pasted.front()->geometry(), QRect(68, 2, 31, 30));

    StripKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Global_FormElementRef(copy->Name()));
    EXPECT_EQ(Button("Hidden2")->geometry(), QRect(35, 2, 31, 30));
}

TEST_F(DesignerStrip, NonVisualElementsFollowTheActivePageAndSurviveItsDeletion)
{
    OpenWithHiddenFields();
    auto *hidden = qobject_cast<QWidget *>(Global_FormElementRef(QStringLiteral("Hidden1")));
    ShowPage(1);
    EXPECT_EQ(hidden->parentWidget(), GlobalPgScrollBox(1));
    ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("Are you sure"));
    Trigger("PageDelete");
    EXPECT_EQ(hidden->parentWidget(), GlobalPgScrollBox(0));
    EXPECT_EQ(Global_FormElementRef(QStringLiteral("Hidden1")), hidden);
    EXPECT_TRUE(Button("Hidden1"));
}
} // namespace

#include "test_designer_strip.moc"
