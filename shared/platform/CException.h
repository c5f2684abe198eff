#pragma once
// The error every operation raises: a fixed English message shown to the user as it stands.

#include <QString>
#include <stdexcept>

class EVeloraError : public std::runtime_error
{
public:
    explicit EVeloraError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    { }
    const QString &Message() const noexcept { return m_message; }

private:
    QString m_message;
};

// Naming and ownership faults of components.
class EComponentError : public EVeloraError
{
public:
    using EVeloraError::EVeloraError;
};
