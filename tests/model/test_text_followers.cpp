// A text change reaches the elements that follow texts (calculation boxes), and
// only them; the typing history marks the document changed.

#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CUndoRedo.h"
#include "SampleTextBox.h"

#include <gtest/gtest.h>

namespace {
// Counts the text changes it is told of, and which element changed.
class TFollowerProbe : public TSampleTextBox
{
public:
    using TSampleTextBox::TSampleTextBox;
    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGVisualPgCtrlTextChanged) {
            Told.append(message.WParam);
            message.Result = 7;
        }
        TSampleTextBox::Dispatch(message);
    }
    QList<std::uintptr_t> Told;
};

// Answers a text change as the main windows do.
class TMainWindow : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGVisualPgCtrlTextChanged)
            message.Result = TBasePgCtrl::NotifyTextFollowers(message.WParam);
    }
};

class TextFollowers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldMain = GlobalMainForm;
        m_oldPages = GlobalPagesPageControl;
        m_oldChanged = GlobalProjectChanged;
        GlobalMainForm = &mainWindow;
        GlobalPagesPageControl = pages.get();
        view = new TPrinterPage(pages.get(), pages->AddPage(QStringLiteral("Page 1")));
        view->resize(900, 1200);
    }
    void TearDown() override
    {
        pages.reset();
        GlobalPagesPageControl = m_oldPages;
        GlobalMainForm = m_oldMain;
        GlobalProjectChanged = m_oldChanged;
    }
    template<class T>
    T *Add(const QString &name, int top)
    {
        auto *element = CreateComponent<T>(pages.get());
        element->setParent(view);
        element->SetName(name);
        element->setGeometry(100, top, 120, 20);
        element->CalcRelBounds(true, true, true, true, true, true);
        return element;
    }

    TMainWindow mainWindow;
    std::unique_ptr<TPageControl> pages = std::make_unique<TPageControl>();
    TPrinterPage *view = nullptr;

private:
    QWidget *m_oldMain = nullptr;
    TPageControl *m_oldPages = nullptr;
    bool m_oldChanged = false;
};
} // namespace

TEST_F(TextFollowers, OnlyFollowersOnAPageAreToldOfATextChange)
{
    auto *typed = Add<TSampleTextBox>(QStringLiteral("Amount"), 100);
    auto *follower = Add<TFollowerProbe>(QStringLiteral("Total"), 140);
    auto *bystander = Add<TFollowerProbe>(QStringLiteral("Note"), 180);
    follower->SetFollowsTextChanges(true);
    EXPECT_TRUE(follower->FollowsTextChanges());
    EXPECT_FALSE(bystander->FollowsTextChanges());

    typed->SetText(QStringLiteral("42"));
    EXPECT_EQ(follower->Told, QList<std::uintptr_t> {ObjectParam(typed)});
    EXPECT_TRUE(bystander->Told.isEmpty());
    // The follower's answer comes back through the main window.
    EXPECT_EQ(SendMessage(&mainWindow, VRMSGVisualPgCtrlTextChanged, ObjectParam(typed)), 7);

    // Off a page it hears nothing; turned off, nothing either.
    follower->setParent(nullptr);
    typed->SetText(QStringLiteral("43"));
    EXPECT_EQ(follower->Told.size(), 2);
    follower->setParent(view);
    follower->SetFollowsTextChanges(false);
    typed->SetText(QStringLiteral("44"));
    EXPECT_EQ(follower->Told.size(), 2);
}

TEST_F(TextFollowers, AFollowerThatIsGoneIsNotTold)
{
    auto *typed = Add<TSampleTextBox>(QStringLiteral("Amount"), 100);
    auto *follower = Add<TFollowerProbe>(QStringLiteral("Total"), 140);
    follower->SetFollowsTextChanges(true);
    delete follower;
    typed->SetText(QStringLiteral("1"));
    EXPECT_EQ(TBasePgCtrl::NotifyTextFollowers(ObjectParam(typed)), 0);
}

TEST_F(TextFollowers, TheTypingHistoryMarksTheDocumentChanged)
{
    auto *box = Add<TSampleTextBox>(QStringLiteral("Amount"), 100);
    GlobalProjectChanged = false;
    box->EditUndoRedo().Add(std::make_unique<TUndoRedoItem>(), std::make_unique<TUndoRedoItem>());
    EXPECT_TRUE(GlobalProjectChanged);
}
