#include "NetServers.h"
#include "TestSupport.h"

#include "game/GameSharing.h"
#include "net/SmtpClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct TMailRecorder : TMailEvents
{
    void PacketSent(qint64 bytes) override
    {
        Progress << bytes;
        ElsewhereCalls += QThread::currentThread() != QCoreApplication::instance()->thread();
    }
    QList<qint64> Progress;
    int ElsewhereCalls = 0;
};

QStringList Pair(const QJsonValue &value)
{
    const QJsonArray pair = value.toArray();
    return {pair.at(0).toString(), pair.at(1).toString()};
}

QString Header(const QJsonObject &mail, const QString &name)
{
    for (const QJsonValue &entry : mail.value(u"headers"_s).toArray()) {
        if (entry.toArray().at(0).toString().compare(name, Qt::CaseInsensitive) == 0)
            return entry.toArray().at(1).toString();
    }
    return u"(missing)"_s;
}

class MailClientTest : public ::testing::Test
{
protected:
    // The game mailed as the sharing mails it, to two players.
    qint64 MailGame(TMailClient &client, const TServerAccount &account)
    {
        WriteFile(Folder.filePath(u"Siege.kgm"_s), Game);
        client.SetAccount(account);
        client.SetEvents(&Events);
        TMailMessage &message = client.Message();
        message.SenderAddress = u"ann@example.org"_s;
        message.SenderName = u"Åsa \"the Bold\" Lind"_s;
        message.Recipients = {u"bob@example.net"_s, u"cy@example.com"_s};
        message.Subject = QString::fromUtf16(GameSharing::kMailSubject);
        message.Body = {u"Your move <now>."_s, u""_s, u"Ann"_s};
        message.Attachments = {Folder.filePath(u"Siege.kgm"_s)};
        message.Mailer = QString::fromUtf16(GameSharing::kMailer);
        client.Connect();
        const qint64 sent = client.Send();
        client.Disconnect();
        return sent;
    }

    // Mails the game to the server and checks what arrived; the one message it received.
    QJsonObject MailedOnce(const TTestMailServer &server)
    {
        Events.Progress.clear();
        TCurlMailClient client(ShortTimeouts());
        const qint64 sent = MailGame(client, server.Account());
        const QList<QJsonObject> mails = server.Messages();
        EXPECT_EQ(mails.size(), 1);
        if (mails.isEmpty())
            return {};
        ExpectGameMail(mails.at(0), sent);
        // The message is gone once sent.
        EXPECT_TRUE(client.Message().Recipients.isEmpty());
        EXPECT_TRUE(client.Message().Attachments.isEmpty());
        return mails.at(0);
    }

    // What every mailed game must look like when it arrives.
    void ExpectGameMail(const QJsonObject &mail, qint64 sent)
    {
        EXPECT_EQ(mail.value(u"mail_from"_s).toString(), u"ann@example.org"_s);
        EXPECT_EQ(mail.value(u"rcpt_tos"_s).toArray(), QJsonArray({u"bob@example.net"_s, u"cy@example.com"_s}));
        const QJsonArray from = mail.value(u"from"_s).toArray();
        ASSERT_EQ(from.size(), 1);
        EXPECT_EQ(Pair(from.at(0)), QStringList({u"Åsa \"the Bold\" Lind"_s, u"ann@example.org"_s}));
        EXPECT_EQ(mail.value(u"to"_s).toArray().size(), 2);
        EXPECT_EQ(Header(mail, u"Subject"_s), u"KRASSIST Game in Progress"_s);
        EXPECT_EQ(Header(mail, u"X-Mailer"_s), u"KRASSIST"_s);
        EXPECT_NE(Header(mail, u"Date"_s), u"(missing)"_s);
        EXPECT_NE(Header(mail, u"Message-ID"_s), u"(missing)"_s);

        const QJsonArray parts = mail.value(u"parts"_s).toArray();
        ASSERT_EQ(parts.size(), 2);
        const QJsonObject text = parts.at(0).toObject();
        EXPECT_EQ(text.value(u"content_type"_s).toString(), u"text/enriched"_s);
        EXPECT_EQ(text.value(u"charset"_s).toString(), u"us-ascii"_s);
        // "<" doubled, and one line break more per run of them, so it shows as typed.
        EXPECT_EQ(QByteArray::fromBase64(text.value(u"data"_s).toString().toLatin1()),
                  QByteArray("Your move <<now>.\r\n\r\n\r\nAnn\r\n"));
        const QJsonObject attachment = parts.at(1).toObject();
        EXPECT_EQ(attachment.value(u"filename"_s).toString(), u"Siege.kgm"_s);
        EXPECT_EQ(attachment.value(u"content_type"_s).toString(), u"application/octet-stream"_s);
        EXPECT_EQ(attachment.value(u"transfer_encoding"_s).toString(), u"base64"_s);
        EXPECT_EQ(QByteArray::fromBase64(attachment.value(u"data"_s).toString().toLatin1()), Game);

        EXPECT_EQ(sent, mail.value(u"size"_s).toInteger());
        ASSERT_FALSE(Events.Progress.isEmpty());
        EXPECT_EQ(Events.Progress.last(), sent);
        EXPECT_EQ(Events.ElsewhereCalls, 0);
    }

    QString Failure(const std::function<void()> &call) { return TimedFailure(call, Elapsed); }

    QTemporaryDir Folder;
    QByteArray Game = GameBytes(40000, 7);
    TMailRecorder Events;
    qint64 Elapsed = 0;
};

} // namespace

TEST_F(MailClientTest, AGameArrivesWithItsAttachmentOverPlainSmtp)
{
    TTestMailServer server;
    EXPECT_FALSE(MailedOnce(server).value(u"tls"_s).toBool());
}

TEST_F(MailClientTest, StartTlsWithALoginAndImplicitTls)
{
    TTestMailServer startTls(TTestMailServer::TMode::StartTls, u"ann"_s, u"mail-pass"_s);
    const QJsonObject mail = MailedOnce(startTls);
    EXPECT_TRUE(mail.value(u"tls"_s).toBool());
    EXPECT_EQ(mail.value(u"login"_s).toString(), u"ann"_s);
    TTestMailServer implicit(TTestMailServer::TMode::Implicit);
    EXPECT_TRUE(MailedOnce(implicit).value(u"tls"_s).toBool());
}

TEST_F(MailClientTest, RefusalsAndFaultsEndInBoundedTimeWithNothingDelivered)
{
    TTestMailServer server(TTestMailServer::TMode::StartTls, u"ann"_s, u"mail-pass"_s);
    TCurlMailClient client(ShortTimeouts());

    TServerAccount account = server.Account();
    account.Password = u"Wrong-Mail-77"_s;
    QString message = Failure([&] { MailGame(client, account); });
    EXPECT_TRUE(message.startsWith(u"The mail server 127.0.0.1 (port %1) refused the login of \"ann\": check the login "
                                   "name and password."_s.arg(account.Port)))
        << message.toStdString();
    EXPECT_FALSE(message.contains(account.Password));
    EXPECT_LT(Elapsed, 5000);

    account = server.Account();
    account.CertificateFile.clear();
    message = Failure([&] { MailGame(client, account); });
    EXPECT_TRUE(message.startsWith(u"The certificate of the mail server 127.0.0.1"_s)) << message.toStdString();
    EXPECT_LT(Elapsed, 5000);

    account.Port = ClosedPort();
    message = Failure([&] { MailGame(client, account); });
    EXPECT_TRUE(message.contains(u"does not accept connections"_s)) << message.toStdString();

    TTestServer silent(u"silent_server.py"_s, {});
    account.Port = silent.Port();
    message = Failure([&] { MailGame(client, account); });
    EXPECT_TRUE(message.contains(u"did not answer within"_s)) << message.toStdString();
    EXPECT_LT(Elapsed, 5000);

    TTestMailServer plain;
    account = plain.Account();
    account.Tls = TTlsMode::Required;
    message = Failure([&] { MailGame(client, account); });
    EXPECT_TRUE(message.contains(u"offers no encrypted connection, and one is required"_s)) << message.toStdString();

    EXPECT_TRUE(server.Messages().isEmpty());
    EXPECT_TRUE(plain.Messages().isEmpty());
}

TEST_F(MailClientTest, AddressesThatCouldInjectCommandsAreRefusedBeforeSending)
{
    TTestMailServer server;
    TCurlMailClient client(ShortTimeouts());
    client.SetAccount(server.Account());
    client.Connect();
    client.Message().SenderAddress = u"ann@example.org"_s;
    client.Message().Recipients = {u"bob@example.net>\r\nRCPT TO:<eve@example.net"_s};
    EXPECT_EQ(FailureOf([&] { client.Send(); }),
              u"The EMAIL address \"bob@example.net>??RCPT TO:<eve@example.net\" of a recipient cannot be used: an "
              "address has one \"@\" and no blanks, no characters outside plain ASCII and none of <>()[],;:\"\\."_s);
    client.Message().SenderAddress = u"ann example.org"_s;
    client.Message().Recipients = {u"bob@example.net"_s};
    EXPECT_TRUE(FailureOf([&] { client.Send(); }).startsWith(u"The EMAIL address \"ann example.org\" of the sender"_s));
    client.Message().SenderAddress = u"ann@example.org"_s;
    EXPECT_EQ(FailureOf([&] { client.Send(); }), u"The message has no recipient."_s);
    client.Disconnect();
    EXPECT_TRUE(server.Messages().isEmpty());
}

TEST(MailText, EnrichedBodyAndHeaderWords)
{
    EXPECT_EQ(TCurlMailClient::EnrichedBody({u"a<b"_s}), QByteArray("a<<b\r\n"));
    EXPECT_EQ(TCurlMailClient::EnrichedBody({u"one"_s, u"two"_s, u""_s, u""_s, u"five"_s}),
              QByteArray("one\r\n\r\ntwo\r\n\r\n\r\n\r\nfive\r\n"));
    EXPECT_EQ(TCurlMailClient::EnrichedBody({}), QByteArray("\r\n"));
    EXPECT_EQ(TCurlMailClient::HeaderText(u"Plain words"_s), QByteArray("Plain words"));
    EXPECT_EQ(TCurlMailClient::HeaderText(u"two\r\nX-Evil: 1"_s), QByteArray("two  X-Evil: 1"));
    EXPECT_EQ(TCurlMailClient::HeaderText(u"Åsa"_s), QByteArray("=?UTF-8?B?w4VzYQ==?="));

    TMailMessage message;
    message.SenderAddress = u"ann@example.org"_s;
    message.SenderName = u"Ann Lee\r\nBcc: eve@example.net"_s;
    message.Recipients = {u"bob@example.net"_s};
    message.Subject = u"KRASSIST Game in Progress"_s;
    message.Mailer = u"KRASSIST"_s;
    const QDateTime date(QDate(2026, 3, 1), QTime(9, 5, 7), QTimeZone(-5 * 3600 - 1800));
    EXPECT_EQ(TCurlMailClient::Headers(message, date, u"id-1@example.org"_s),
              QStringList({u"Date: Sun, 01 Mar 2026 09:05:07 -0530"_s,
                           u"From: \"Ann Lee  Bcc: eve@example.net\" <ann@example.org>"_s, u"To: bob@example.net"_s,
                           u"Subject: KRASSIST Game in Progress"_s, u"Message-ID: <id-1@example.org>"_s,
                           u"X-Mailer: KRASSIST"_s}));
}
