#pragma once

#include "KrException.h"

#include <QString>

// How a connection is protected. "When offered" asks the server for TLS (STARTTLS for
// mail, AUTH TLS for FTP) and goes on in the clear only when the server has no TLS to
// offer; "Required" fails instead; "Implicit" speaks TLS from the first byte (mail on
// port 465, FTP on port 990). A certificate is always verified: there is no mode that
// takes an unverified one.
enum class TTlsMode { WhenOffered = 0, Required = 1, Implicit = 2 };

// One server and the account on it.
struct TServerAccount
{
    QString Host;
    int Port = 0;
    QString User;
    QString Password;
    TTlsMode Tls = TTlsMode::WhenOffered;
    // A certificate file (PEM) the user names for a private server, trusted besides the
    // system's authorities; empty for the system's alone.
    QString CertificateFile;
};

// How long a transfer may wait. Every transfer ends within these bounds: a server that
// does not accept, that stops answering or that stops sending ends it with a failure.
struct TNetTimeouts
{
    int ConnectSeconds = 20;
    // A reply that does not come, or a transfer that moves no byte, for this long.
    int StallSeconds = 30;
    // The whole of one operation, whatever the server does.
    int TotalSeconds = 600;
};

// A transfer failed: the message says what and with which server, never a password.
class TNetError : public TKrException
{
public:
    using TKrException::TKrException;
};
