#include "CMessages.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace {
class TListener : public QWidget, public TMessageTarget
{
public:
    using QWidget::QWidget;
    void Dispatch(TMessage &m) override
    {
        Received.append(m.Msg);
        if (m.Msg == 0x8418)
            m.Result = 42;
    }
    QList<std::uint32_t> Received;
};

// Handles one message and leaves the rest to its base class.
class TDerivedListener : public TListener
{
public:
    using TListener::TListener;
    void Dispatch(TMessage &m) override
    {
        if (m.Msg == 0x8401) {
            m.Result = 7;
            return;
        }
        TListener::Dispatch(m);
    }
};
} // namespace

TEST(Messages, SendCallsTheHandlerAndReturnsItsResult)
{
    TDerivedListener target;
    EXPECT_EQ(SendMessage(&target, 0x8401), 7);
    EXPECT_EQ(SendMessage(&target, 0x8418), 42);
    EXPECT_EQ(target.Received, QList<std::uint32_t>({0x8418}));
    QObject plain;
    EXPECT_EQ(SendMessage(&plain, 0x8418), 0);
}

TEST(Messages, PostedMessagesArriveLaterAndNeverAtADeadTarget)
{
    auto alive = std::make_unique<TListener>();
    auto doomed = std::make_unique<TListener>();
    PostMessage(alive.get(), 0x840E, 1, 2);
    PostMessage(doomed.get(), 0x840E);
    EXPECT_TRUE(alive->Received.isEmpty());
    doomed.reset();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(alive->Received, QList<std::uint32_t>({0x840E}));
}

TEST(Messages, BroadcastReachesEveryChildControl)
{
    QWidget page;
    QList<TListener *> children;
    for (int i = 0; i < 3; ++i)
        children.append(new TListener(&page));
    new QObject(&page); // not a control: ignored
    TMessage m {0x841C, 0, 0, 0};
    BroadcastMessage(&page, m);
    for (TListener *child : children)
        EXPECT_EQ(child->Received, QList<std::uint32_t>({0x841C}));

    // Answers do not stop the others from hearing it.
    TMessage ask {0x8418, 0, 0, 0};
    BroadcastMessage(&page, ask);
    EXPECT_EQ(ask.Result, 42);
    for (TListener *child : children)
        EXPECT_EQ(child->Received.size(), 2);
}
