#include "CMessages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {
const QEvent::Type kPostedMessageEvent = QEvent::Type(QEvent::registerEventType());

class TPostedMessageEvent : public QEvent
{
public:
    TPostedMessageEvent(QObject *target, const TMessage &message)
        : QEvent(kPostedMessageEvent), Target(target), Message(message)
    { }
    QPointer<QObject> Target;
    TMessage Message;
};

// Receives every posted message and hands it on if its target still lives.
class TPostOffice : public QObject
{
public:
    using QObject::QObject;
    bool event(QEvent *e) override
    {
        if (e->type() != kPostedMessageEvent)
            return QObject::event(e);
        auto *posted = static_cast<TPostedMessageEvent *>(e);
        if (posted->Target)
            SendMessage(posted->Target.data(), posted->Message);
        return true;
    }
};

// Lives as a child of the application so it never outlasts the event loop.
TPostOffice *PostOffice()
{
    static QPointer<TPostOffice> office;
    if (!office)
        office = new TPostOffice(QCoreApplication::instance());
    return office;
}
} // namespace

void SendMessage(QObject *target, TMessage &message)
{
    if (auto *handler = dynamic_cast<TMessageTarget *>(target))
        handler->Dispatch(message);
}

std::intptr_t SendMessage(QObject *target, std::uint32_t msg, std::uintptr_t wParam,
                          std::intptr_t lParam)
{
    TMessage message {msg, wParam, lParam, 0};
    SendMessage(target, message);
    return message.Result;
}

void PostMessage(QObject *target, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (!target || !QCoreApplication::instance())
        return;
    QCoreApplication::postEvent(PostOffice(),
                                new TPostedMessageEvent(target, TMessage {msg, wParam, lParam, 0}));
}

void BroadcastMessage(QObject *control, TMessage &message)
{
    if (!control)
        return;
    // A handler may delete a sibling; walk a guarded snapshot.
    QList<QPointer<QObject>> children;
    for (QObject *child : control->children())
        if (child->isWidgetType())
            children.append(child);
    for (const QPointer<QObject> &child : children)
        if (child)
            SendMessage(child.data(), message);
}
