#include "NetServers.h"
#include "TestSupport.h"

#include "game/GameSharing.h"
#include "net/FtpClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Counts what the client tells, and where: always on the thread that called it.
struct TFtpRecorder : TFtpEvents
{
    void PacketReceived() override { ++Received, Check(); }
    void PacketSent() override { ++Sent, Check(); }
    void Failure(const QString &message) override { Failures << message, Check(); }
    void Success() override { ++Successes, Check(); }
    void Check() { ElsewhereCalls += QThread::currentThread() != QCoreApplication::instance()->thread(); }
    int ElsewhereCalls = 0;
    int Received = 0;
    int Sent = 0;
    int Successes = 0;
    QStringList Failures;
};

// Bytes a text-mode transfer would change: line ends of every kind.
QByteArray GameWithLineEnds(int size, int seed)
{
    QByteArray bytes = GameBytes(size, seed);
    bytes.replace(100, 6, "\r\n\n\r\r\n");
    return bytes;
}

class FtpClientTest : public ::testing::Test
{
protected:
    QString Local(const QString &name) const { return Folder.filePath(name); }

    // Connects to the games folder as the sharing does.
    void Open(TFtpClient &client, const TServerAccount &account)
    {
        client.SetAccount(account);
        client.SetEvents(&Events);
        client.Connect();
        client.ChangeDirectory(QString::fromUtf16(GameSharing::kServerDirectory));
        client.SetTransferType(TTransferType::Binary);
    }

    // The message of the TNetError the call throws, and how long it took to come.
    QString Failure(const std::function<void()> &call) { return TimedFailure(call, Elapsed); }

    // Every round trip: upload, the server's copy, a second upload over it, download.
    void RoundTrip(const TTestFtpServer &server)
    {
        TCurlFtpClient client(ShortTimeouts());
        Open(client, server.Account());
        EXPECT_EQ(client.LocalAddress(), u"127.0.0.1"_s);

        const QByteArray first = GameWithLineEnds(150000, 1);
        WriteFile(Local(u"Battle.kgm"_s), first);
        client.Upload(Local(u"Battle.kgm"_s), u"G0Aannexampleorg.dat"_s);
        EXPECT_EQ(FileBytes(server.GamesFolder() + u"/G0Aannexampleorg.dat"_s), first);
        EXPECT_GE(Events.Sent, 3); // 150000 bytes do not travel in one packet

        // The game's later uploads overwrite the same server file, here with a shorter one.
        const QByteArray second = GameWithLineEnds(70000, 2);
        WriteFile(Local(u"Battle.kgm"_s), second);
        client.Upload(Local(u"Battle.kgm"_s), u"G0Aannexampleorg.dat"_s);
        EXPECT_EQ(FileBytes(server.GamesFolder() + u"/G0Aannexampleorg.dat"_s), second);

        WriteFile(Local(u"Copy.kgm"_s), "an older copy of the game");
        client.Download(u"G0Aannexampleorg.dat"_s, Local(u"Copy.kgm"_s));
        EXPECT_EQ(FileBytes(Local(u"Copy.kgm"_s)), second);
        EXPECT_GE(Events.Received, 1);
        client.Disconnect();
        EXPECT_FALSE(client.Connected());
        // Connect, folder, type, two uploads, download, disconnect.
        EXPECT_EQ(Events.Successes, 7);
        EXPECT_TRUE(Events.Failures.isEmpty()) << Events.Failures.join(u'\n').toStdString();
        EXPECT_EQ(Events.ElsewhereCalls, 0);
        EXPECT_EQ(QDir(Folder.path()).entryList(QDir::Files).size(), 2) << "no partial file is left behind";
    }

    QTemporaryDir Folder;
    TFtpRecorder Events;
    qint64 Elapsed = 0;
};

} // namespace

TEST_F(FtpClientTest, PlainRoundTripsByteForByte)
{
    TTestFtpServer server;
    RoundTrip(server);
}

TEST_F(FtpClientTest, ExplicitTlsRoundTripsWithTheNamedCertificate)
{
    // This server refuses a login and any data without TLS.
    TTestFtpServer server(true);
    RoundTrip(server);
}

TEST_F(FtpClientTest, ACertificateThatDoesNotVerifyStopsBeforeTheLogin)
{
    TTestFtpServer server(true);
    TServerAccount account = server.Account();
    account.CertificateFile.clear(); // the system's authorities never signed the test's certificate
    TCurlFtpClient client(ShortTimeouts());
    client.SetAccount(account);
    client.SetEvents(&Events);
    const QString message = Failure([&] { client.Connect(); });
    EXPECT_TRUE(message.startsWith(u"The certificate of the FTP server 127.0.0.1 (port "_s)) << message.toStdString();
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(Events.Failures, QStringList{message});
    EXPECT_LT(Elapsed, 5000);

    // A certificate file that is not there is said so, and nothing is tried.
    account.CertificateFile = Local(u"missing.pem"_s);
    client.SetAccount(account);
    EXPECT_EQ(FailureOf([&] { client.Connect(); }),
              u"The certificate file \"%1\" cannot be read."_s.arg(account.CertificateFile));
}

TEST_F(FtpClientTest, RequiredTlsRefusesAServerWithout)
{
    TTestFtpServer server;
    TServerAccount account = server.Account();
    account.Tls = TTlsMode::Required;
    TCurlFtpClient client(ShortTimeouts());
    client.SetAccount(account);
    EXPECT_TRUE(Failure([&] { client.Connect(); })
                    .startsWith(u"The FTP server 127.0.0.1 (port %1) offers no encrypted connection, and one is "
                                "required."_s.arg(account.Port)));
}

TEST_F(FtpClientTest, ConnectionFaultsEndInBoundedTime)
{
    TCurlFtpClient client(ShortTimeouts());
    client.SetEvents(&Events);
    TServerAccount account;
    account.Host = u"127.0.0.1"_s;

    account.Port = ClosedPort();
    client.SetAccount(account);
    QString message = Failure([&] { client.Connect(); });
    EXPECT_TRUE(
        message.startsWith(u"The FTP server 127.0.0.1 (port %1) does not accept connections."_s.arg(account.Port)))
        << message.toStdString();
    EXPECT_LT(Elapsed, 3000);

    // Accepts and then says nothing, not even its greeting.
    TTestServer silent(u"silent_server.py"_s, {});
    account.Port = silent.Port();
    client.SetAccount(account);
    message = Failure([&] { client.Connect(); });
    EXPECT_TRUE(
        message.startsWith(u"The FTP server 127.0.0.1 (port %1) did not answer within 2 seconds."_s.arg(account.Port)))
        << message.toStdString();
    EXPECT_LT(Elapsed, 5000);
    EXPECT_EQ(Events.Failures.size(), 2);
    EXPECT_FALSE(client.Connected());

    // Not a host name at all: nothing is sent anywhere.
    account.Host = u"server/files"_s;
    client.SetAccount(account);
    EXPECT_EQ(FailureOf([&] { client.Connect(); }), u"\"server/files\" is not a server name the FTP can connect to."_s);
}

TEST_F(FtpClientTest, AWrongPasswordIsRefusedWithoutShowingIt)
{
    TTestFtpServer server;
    TServerAccount account = server.Account();
    account.Password = u"Secret-Wrong-9"_s;
    TCurlFtpClient client(ShortTimeouts());
    client.SetAccount(account);
    const QString message = Failure([&] { client.Connect(); });
    EXPECT_TRUE(
        message.startsWith(u"The FTP server 127.0.0.1 (port %1) refused the login of \"player\": check the login "
                           "name and password."_s.arg(account.Port)))
        << message.toStdString();
    EXPECT_FALSE(message.contains(account.Password));
    EXPECT_LT(Elapsed, 5000);
}

TEST_F(FtpClientTest, AFailedDownloadLeavesTheLocalGameAsItWas)
{
    const QByteArray game = GameBytes(200000, 3);
    const QByteArray saved = "the game as the player saved it";
    const auto failedDownload = [&](TTestFtpServer &server, const TDownloadCheck &check = {}) {
        WriteFile(server.GamesFolder() + u"/G01annexampleorg.dat"_s, game);
        WriteFile(Local(u"Battle.kgm"_s), saved);
        TCurlFtpClient client(ShortTimeouts());
        Open(client, server.Account());
        const QString message =
            Failure([&] { client.Download(u"G01annexampleorg.dat"_s, Local(u"Battle.kgm"_s), check); });
        client.Disconnect();
        EXPECT_EQ(FileBytes(Local(u"Battle.kgm"_s)), saved);
        EXPECT_EQ(QDir(Folder.path()).entryList(QDir::Files), QStringList{u"Battle.kgm"_s});
        return message;
    };

    {
        // The server sends a quarter of the file and then nothing more.
        TTestFtpServer stalling(false, TTestFtpServer::TFault::Stall, 50000);
        const QString message = failedDownload(stalling);
        EXPECT_TRUE(message.contains(u"did not answer within"_s)) << message.toStdString();
        EXPECT_LT(Elapsed, 5000);
    }
    {
        // The server closes the data connection early.
        TTestFtpServer truncating(false, TTestFtpServer::TFault::Truncate, 50000);
        const QString message = failedDownload(truncating);
        EXPECT_TRUE(message.contains(u"broke off during the transfer"_s)) << message.toStdString();
    }
    {
        // A whole file that the caller's check refuses.
        TTestFtpServer server;
        const QString message = failedDownload(server, [](const QString &file) {
            throw TKrException(u"not a game: "_s + QString::number(QFileInfo(file).size()));
        });
        EXPECT_EQ(message, u"not a game: 200000"_s);
        // A name the server does not have.
        WriteFile(Local(u"Battle.kgm"_s), saved);
        TCurlFtpClient client(ShortTimeouts());
        Open(client, server.Account());
        EXPECT_TRUE(FailureOf([&] {
                        client.Download(u"G99nobody.dat"_s, Local(u"Battle.kgm"_s));
                    }).contains(u"has no such file"_s));
        EXPECT_EQ(FileBytes(Local(u"Battle.kgm"_s)), saved);
    }
}
