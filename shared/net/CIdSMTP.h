#pragma once
// Sends a message over SMTP with libcurl: login authentication when a user
// is given, STARTTLS whenever the server offers it.

#include "CIdMessage.h"
#include "CIdTCPClient.h"

class TIdSMTP : public TIdTCPClient
{
public:
    TIdSMTP() { Port = 25; }

    QString Username;
    QString Password;

    // Connects, logs in, sends and disconnects (also on error); raises EIdException.
    void Send(const TIdMessage &message);
};
