#include "NetServers.h"

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTcpServer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TTestServer::TTestServer(const QString &script, const QStringList &arguments)
{
    FProcess.setProgram(u"/usr/bin/python3"_s);
    FProcess.setArguments(QStringList{QStringLiteral(KR_NET_SERVERS_DIR "/") + script} + arguments);
    FProcess.start();
    if (!FProcess.waitForStarted(5000)) {
        ADD_FAILURE() << "cannot start " << script.toStdString();
        return;
    }
    QElapsedTimer waited;
    waited.start();
    while (!FProcess.canReadLine() && waited.elapsed() < 10000 && FProcess.state() == QProcess::Running)
        FProcess.waitForReadyRead(200);
    FPort = FProcess.readLine().trimmed().toInt();
    if (FPort <= 0)
        ADD_FAILURE() << script.toStdString() << " did not start: " << FProcess.readAllStandardError().toStdString();
}

TTestServer::~TTestServer()
{
    if (FProcess.state() == QProcess::NotRunning)
        return;
    FProcess.terminate();
    if (!FProcess.waitForFinished(2000)) {
        FProcess.kill();
        FProcess.waitForFinished(2000);
    }
}

QString TTestServer::Log()
{
    return QString::fromUtf8(FProcess.readAllStandardError());
}

const TTestCertificate &TTestCertificate::Get()
{
    static QTemporaryDir folder;
    static const TTestCertificate made = [] {
        TTestCertificate certificate{folder.filePath(u"cert.pem"_s), folder.filePath(u"key.pem"_s)};
        QProcess openssl;
        openssl.start(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-days"_s, u"2"_s,
                                     u"-subj"_s, u"/CN=127.0.0.1"_s, u"-addext"_s, u"subjectAltName=IP:127.0.0.1"_s,
                                     u"-keyout"_s, certificate.Key, u"-out"_s, certificate.Certificate});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            ADD_FAILURE() << "openssl failed: " << openssl.readAllStandardError().toStdString();
        return certificate;
    }();
    return made;
}

TTestFtpServer::TTestFtpServer(bool tls, TFault fault, qint64 faultAfter) : FTls(tls)
{
    QDir(FRoot.path()).mkpath(u"files/games"_s);
    QStringList arguments{FRoot.path(), QString::fromUtf16(kUser), QString::fromUtf16(kPassword)};
    if (tls)
        arguments << u"--tls"_s << TTestCertificate::Get().Certificate << TTestCertificate::Get().Key;
    if (fault != TFault::None)
        arguments << u"--fault"_s << (fault == TFault::Stall ? u"stall"_s : u"truncate"_s)
                  << QString::number(faultAfter);
    FServer = std::make_unique<TTestServer>(u"ftp_server.py"_s, arguments);
}

TServerAccount TTestFtpServer::Account() const
{
    TServerAccount account;
    account.Host = u"127.0.0.1"_s;
    account.Port = FServer->Port();
    account.User = QString::fromUtf16(kUser);
    account.Password = QString::fromUtf16(kPassword);
    if (FTls)
        account.CertificateFile = TTestCertificate::Get().Certificate;
    return account;
}

QString TTestFtpServer::GamesFolder() const
{
    return FRoot.filePath(u"files/games"_s);
}

TTestMailServer::TTestMailServer(TMode mode, const QString &user, const QString &password)
    : FMode(mode), FUser(user), FPassword(password)
{
    QStringList arguments{FOut.path()};
    if (mode == TMode::StartTls)
        arguments << u"--starttls"_s << TTestCertificate::Get().Certificate << TTestCertificate::Get().Key;
    if (mode == TMode::Implicit)
        arguments << u"--implicit"_s << TTestCertificate::Get().Certificate << TTestCertificate::Get().Key;
    if (!user.isEmpty())
        arguments << u"--auth"_s << user << password;
    FServer = std::make_unique<TTestServer>(u"smtp_server.py"_s, arguments);
}

TServerAccount TTestMailServer::Account() const
{
    TServerAccount account;
    account.Host = u"127.0.0.1"_s;
    account.Port = FServer->Port();
    account.User = FUser;
    account.Password = FPassword;
    if (FMode != TMode::Plain)
        account.CertificateFile = TTestCertificate::Get().Certificate;
    if (FMode == TMode::Implicit)
        account.Tls = TTlsMode::Implicit;
    return account;
}

QList<QJsonObject> TTestMailServer::Messages() const
{
    QList<QJsonObject> messages;
    for (int n = 1;; ++n) {
        const QByteArray bytes = FileBytes(FOut.filePath(u"mail-%1.json"_s.arg(n)));
        if (bytes.isEmpty())
            break;
        messages << QJsonDocument::fromJson(bytes).object();
    }
    return messages;
}

TNetTimeouts ShortTimeouts()
{
    TNetTimeouts timeouts;
    timeouts.ConnectSeconds = 2;
    timeouts.StallSeconds = 1;
    timeouts.TotalSeconds = 10;
    return timeouts;
}

int ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

QByteArray GameBytes(int size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = quint32(seed) * 2654435761u + 1;
    for (int i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = char(state >> 24);
    }
    return bytes;
}

QString TimedFailure(const std::function<void()> &call, qint64 &elapsed)
{
    QElapsedTimer clock;
    clock.start();
    const QString message = FailureOf(call);
    elapsed = clock.elapsed();
    return message;
}
