#pragma once

#include "net/CurlSession.h"
#include "net/NetTypes.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// What a mail client tells as it sends. Called on the thread that made the call.
class TMailEvents
{
public:
    virtual ~TMailEvents() = default;
    // The bytes of the message sent so far.
    virtual void PacketSent(qint64 bytes) { static_cast<void>(bytes); }
};

// One message: the envelope and what the reader sees.
struct TMailMessage
{
    QString SenderAddress;
    QString SenderName;
    QStringList Recipients;
    QString Subject;
    QStringList Body;
    QStringList Attachments;
    QString Mailer;
};

// A mail client as the game sharing uses one: set the message, connect, send (the
// bytes sent), disconnect. The message is cleared after each send. Every call blocks
// its caller until it is done (see TCurlSession) and throws a TNetError on failure.
class TMailClient
{
public:
    virtual ~TMailClient() = default;

    virtual void SetAccount(const TServerAccount &account) = 0;
    virtual void SetEvents(TMailEvents *events) = 0;
    virtual TMailMessage &Message() = 0;
    virtual void Connect() = 0;
    // Sends the message and returns the number of bytes sent.
    virtual qint64 Send() = 0;
    virtual void Disconnect() = 0;
    virtual bool Connected() const = 0;
};

// The client on libcurl: STARTTLS when the server offers it (or as the account
// demands), implicit TLS for port 465, a login when a password is set, the game as a
// base64 MIME attachment.
class TCurlMailClient final : public TMailClient
{
public:
    explicit TCurlMailClient(TNetTimeouts timeouts = {});

    void SetAccount(const TServerAccount &account) override { FAccount = account; }
    void SetEvents(TMailEvents *events) override { FEvents = events; }
    TMailMessage &Message() override { return FMessage; }
    void Connect() override;
    qint64 Send() override;
    void Disconnect() override;
    bool Connected() const override { return FConnected; }

    // The header lines of the message as they go out (without the MIME ones), for a
    // moment in time; throws a TNetError for an address that cannot be sent to.
    static QStringList Headers(const TMailMessage &message, const QDateTime &date, const QString &messageId);
    // The body as text/enriched shows what was typed: "<" doubled, each line break doubled.
    static QByteArray EnrichedBody(const QStringList &lines);
    // A header word as it may travel: as it is in plain ASCII, else RFC 2047 encoded.
    static QByteArray HeaderText(const QString &text);
    // Throws a TNetError when the address could not be put in an envelope safely.
    static void CheckAddress(const QString &address, const QString &whose);

private:
    QByteArray Url() const;
    [[noreturn]] void Fail(const QString &message);

    TNetTimeouts FTimeouts;
    TServerAccount FAccount;
    TMailEvents *FEvents = nullptr;
    TMailMessage FMessage;
    TCurlSession FSession;
    bool FConnected = false;
};
