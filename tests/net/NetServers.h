#pragma once

#include "net/NetTypes.h"

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// A server of the network tests: one of the Python scripts beside the tests, run with
// the system's interpreter on a free port of 127.0.0.1 and stopped by its process
// when the test ends.
class TTestServer
{
public:
    // Starts the script and reads the port it prints; fails the test when it does not
    // come up within a few seconds.
    TTestServer(const QString &script, const QStringList &arguments);
    ~TTestServer();
    TTestServer(const TTestServer &) = delete;
    TTestServer &operator=(const TTestServer &) = delete;

    int Port() const { return FPort; }
    bool Running() const { return FPort > 0; }
    // What the server wrote on its error output so far.
    QString Log();

private:
    QProcess FProcess;
    int FPort = 0;
};

// A throw-away certificate for 127.0.0.1, made once per test program with openssl.
struct TTestCertificate
{
    QString Certificate;
    QString Key;
    static const TTestCertificate &Get();
};

// The FTP server with one account "player" / "dice-pass" rooted in a folder that has
// "files/games".
class TTestFtpServer
{
public:
    enum class TFault { None, Stall, Truncate };
    explicit TTestFtpServer(bool tls = false, TFault fault = TFault::None, qint64 faultAfter = 0);

    TServerAccount Account() const;
    QString GamesFolder() const;
    int Port() const { return FServer->Port(); }

    static constexpr char16_t kUser[] = u"player";
    static constexpr char16_t kPassword[] = u"dice-pass";

private:
    QTemporaryDir FRoot;
    bool FTls;
    std::unique_ptr<TTestServer> FServer;
};

// The mail server; each message received is parsed by Python's e-mail package into a
// JSON summary (see smtp_server.py).
class TTestMailServer
{
public:
    enum class TMode { Plain, StartTls, Implicit };
    // With a user, the server requires a login (over TLS when it has TLS).
    explicit TTestMailServer(TMode mode = TMode::Plain, const QString &user = {}, const QString &password = {});

    TServerAccount Account() const;
    int Port() const { return FServer->Port(); }
    // The summaries of the messages received, in order.
    QList<QJsonObject> Messages() const;

private:
    QTemporaryDir FOut;
    TMode FMode;
    QString FUser;
    QString FPassword;
    std::unique_ptr<TTestServer> FServer;
};

// Timeouts short enough that the fault tests end in a second or two.
TNetTimeouts ShortTimeouts();
// A port of 127.0.0.1 on which nothing listens.
int ClosedPort();
// The message of the failure the call throws (see FailureOf), and in elapsed the
// milliseconds it took to come.
QString TimedFailure(const std::function<void()> &call, qint64 &elapsed);
// A file of the given size with bytes that are not all alike.
QByteArray GameBytes(int size, int seed = 1);
