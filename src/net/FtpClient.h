#pragma once

#include "net/CurlSession.h"
#include "net/NetTypes.h"

#include <QString>

#include <functional>

// What an FTP transfer tells as it goes. Called on the thread that made the call.
class TFtpEvents
{
public:
    virtual ~TFtpEvents() = default;
    virtual void PacketReceived() {}
    virtual void PacketSent() {}
    // An operation failed; its TNetError follows to the caller.
    virtual void Failure(const QString &message) { static_cast<void>(message); }
    virtual void Success() {}
};

enum class TTransferType { Binary, Ascii };

// Checks a downloaded file before it replaces the local one; throws to refuse it.
using TDownloadCheck = std::function<void(const QString &downloadedFile)>;

// An FTP client as the game sharing uses one: connect, change directory, choose the
// transfer type, upload, download, the local address of the connection, disconnect.
// Every call blocks its caller until it is done (see TCurlSession for how the windows
// stay alive meanwhile) and throws a TNetError when it fails.
class TFtpClient
{
public:
    virtual ~TFtpClient() = default;

    virtual void SetAccount(const TServerAccount &account) = 0;
    virtual void SetEvents(TFtpEvents *events) = 0;
    virtual void Connect() = 0;
    virtual void ChangeDirectory(const QString &directory) = 0;
    virtual void SetTransferType(TTransferType type) = 0;
    // Stores the local file on the server under the name, in the current directory;
    // a file of that name is overwritten.
    virtual void Upload(const QString &localFile, const QString &remoteName) = 0;
    // Fetches the server file into a temporary file beside the local one, which
    // replaces the local file only when the whole file has arrived (and check, when
    // given, accepts it). On any failure the local file stays as it was.
    virtual void Download(const QString &remoteName, const QString &localFile, const TDownloadCheck &check = {}) = 0;
    // The address this machine has on the connection, once connected.
    virtual QString LocalAddress() const = 0;
    virtual void Disconnect() = 0;
    virtual bool Connected() const = 0;
};

// The client on libcurl: passive mode, explicit TLS when the server offers it (or as
// the account demands), certificates verified.
class TCurlFtpClient final : public TFtpClient
{
public:
    explicit TCurlFtpClient(TNetTimeouts timeouts = {});

    void SetAccount(const TServerAccount &account) override;
    void SetEvents(TFtpEvents *events) override { FEvents = events; }
    void Connect() override;
    void ChangeDirectory(const QString &directory) override;
    void SetTransferType(TTransferType type) override;
    void Upload(const QString &localFile, const QString &remoteName) override;
    void Download(const QString &remoteName, const QString &localFile, const TDownloadCheck &check = {}) override;
    QString LocalAddress() const override { return FLocalAddress; }
    void Disconnect() override;
    bool Connected() const override { return FConnected; }

private:
    // The URL of a path on the server ("/files/games/G0A.dat"), each part escaped.
    QByteArray Url(const QString &path) const;
    // Runs the transfer set up on the handle, telling the events how it went.
    void Perform(const QString &path);
    [[noreturn]] void Fail(const QString &message);
    QString RemotePath(const QString &name) const;

    TNetTimeouts FTimeouts;
    TServerAccount FAccount;
    TFtpEvents *FEvents = nullptr;
    TCurlSession FSession;
    QString FDirectory;
    TTransferType FType = TTransferType::Binary;
    QString FLocalAddress;
    bool FConnected = false;
};
