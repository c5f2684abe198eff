#pragma once
// Numbered messages (0x8400 to 0x85FF) between the programs, the shared
// library and the plug-ins. A class answers them by overriding Dispatch and
// handing everything it does not handle to its base class.

#include <QObject>
#include <QPointer>
#include <cstdint>

struct TMessage
{
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

class TMessageTarget
{
public:
    virtual ~TMessageTarget() = default;
    // The one handler of a class; the base does nothing.
    virtual void Dispatch(TMessage &) { }
};

// Direct call; returns the handler's Result (0 for objects that answer no messages).
std::intptr_t SendMessage(QObject *target, std::uint32_t msg, std::uintptr_t wParam = 0,
                          std::intptr_t lParam = 0);
void SendMessage(QObject *target, TMessage &message);

// Queued until the event loop runs; dropped when the target is gone by then.
void PostMessage(QObject *target, std::uint32_t msg, std::uintptr_t wParam = 0,
                 std::intptr_t lParam = 0);

// Sends one message record to every child control of the control, in
// stacking order; every child sees it and the record keeps the last Result.
void BroadcastMessage(QObject *control, TMessage &message);

// Object pointers travel in the word parameter.
inline std::uintptr_t ObjectParam(const QObject *object)
{
    return reinterpret_cast<std::uintptr_t>(object);
}
template<class T>
T *ParamObject(std::uintptr_t param)
{
    return qobject_cast<T *>(reinterpret_cast<QObject *>(param));
}
