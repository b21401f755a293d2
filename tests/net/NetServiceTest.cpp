#include "MainFixture.h"
#include "NetServers.h"

#include "net/NetService.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Counts what reaches the passwords, keeping them in memory.
struct TCountingPasswords : TPasswordStore
{
    QString Read(const QString &key) override { return Kept.value(key); }
    void Write(const QString &key, const QString &password) override
    {
        ++Writes;
        Kept[key] = password;
    }
    QString Where() const override { return u"a test"_s; }
    QMap<QString, QString> Kept;
    int Writes = 0;
};

class NetServiceTest : public TMainFixture
{
protected:
    NetServiceTest()
    {
        Settings.WriteText(u"EMAIL"_s, u"ann@example.org"_s);
        Settings.WriteText(u"UserStuff"_s, u"Ann Lee\r\n1 Mill Lane"_s);
        WriteFile(GameFile, Game);
    }

    TfrmMain &StartWithTrace()
    {
        TfrmMain &main = Start({}, false);
        main.Net().SetTrace(TDebugTrace(Data.filePath(u"KRDebug.log"_s)));
        return main;
    }

    void UseFtp(const TServerAccount &account)
    {
        Settings.WriteText(u"FTP_Host"_s, account.Host);
        Settings.WriteInteger(u"FTP_Port"_s, account.Port);
        Settings.WriteText(u"FTP_User"_s, account.User);
        Settings.WriteText(u"FTP_Password"_s, account.Password);
        Settings.WriteText(u"CertificateFile"_s, account.CertificateFile);
    }

    // The statuses from the first one equal to first on.
    QStringList StatusesFrom(const QString &first) const { return Statuses.mid(Statuses.indexOf(first)); }

    QString GameFile = Data.filePath(u"Siege.kgm"_s);
    QByteArray Game = GameBytes(90000, 11);
    QStringList Steps;
    TNetService::TStatus StepStatus = [this](const QString &text) { Steps << text; };
};

} // namespace

TEST_F(NetServiceTest, UploadAndDownloadUpdateReportEachStep)
{
    TTestFtpServer server(true);
    UseFtp(server.Account());
    TfrmMain &main = StartWithTrace();

    main.Net().UploadGame(GameFile, u"G0Aannexampleorg.dat"_s, StepStatus);
    EXPECT_EQ(FileBytes(server.GamesFolder() + u"/G0Aannexampleorg.dat"_s), Game);
    EXPECT_EQ(Steps, QStringList({u"Connecting to KRASSIST server..."_s, u"Uploading game file..."_s,
                                  u"Disconnecting..."_s, u"Game transmitted to KRASSIST server."_s}));
    const int written = main.Net().Packets();
    EXPECT_GE(written, 2);
    EXPECT_TRUE(Statuses.contains(u"Transmitting game data:  1 packets written."_s));
    EXPECT_TRUE(Statuses.contains(u"Transmitting game data:  %1 packets written."_s.arg(written)));
    EXPECT_EQ(Statuses.last(), u"FTP operation successful."_s);

    Steps.clear();
    const QString copy = Data.filePath(u"Copy.kgm"_s);
    main.Net().DownloadUpdate(u"G0Aannexampleorg.dat"_s, copy, StepStatus);
    EXPECT_EQ(FileBytes(copy), Game);
    EXPECT_EQ(Steps, QStringList({u"Connecting to KRASSIST server..."_s, u"Downloading game file..."_s,
                                  u"Disconnecting..."_s}));
    // The counter starts again for each transfer.
    EXPECT_TRUE(Statuses.contains(u"Receiving game data:  1 packets read."_s));
    EXPECT_TRUE(Statuses.contains(u"Receiving game data:  %1 packets read."_s.arg(main.Net().Packets())));
    EXPECT_TRUE(FileBytes(main.Net().Trace().Path()).endsWith("  Local IP address is 127.0.0.1.\r\n"));
    EXPECT_FALSE(main.Net().Busy());
}

TEST_F(NetServiceTest, AFailedTransferLeavesTheGameAndClosesTheConnection)
{
    TTestFtpServer server;
    TServerAccount account = server.Account();
    account.Password = u"Wrong-Pass-3"_s;
    UseFtp(account);
    TfrmMain &main = StartWithTrace();
    const QString message = FailureOf([&] { main.Net().DownloadUpdate(u"G0Aann.dat"_s, GameFile, StepStatus); });
    EXPECT_TRUE(message.contains(u"refused the login of \"player\""_s)) << message.toStdString();
    EXPECT_FALSE(message.contains(account.Password));
    EXPECT_EQ(Statuses.last(), u"FTP operation ended in error."_s);
    EXPECT_EQ(FileBytes(GameFile), Game);
    EXPECT_FALSE(main.Net().Busy());
    for (const QString &status : std::as_const(Statuses))
        EXPECT_FALSE(status.contains(account.Password));
    EXPECT_FALSE(FileBytes(main.Net().Trace().Path()).contains(account.Password.toUtf8()));

    // Without a server nothing is tried.
    Settings.WriteText(u"FTP_Host"_s, QString());
    EXPECT_EQ(FailureOf([&] { main.Net().UploadGame(GameFile, u"G0Aann.dat"_s, StepStatus); }),
              u"Cannot do FTP until an FTP server is entered via Options,User Information."_s);
}

TEST_F(NetServiceTest, TheWindowsStayAliveWhileATransferWaits)
{
    // The server sends a little and then stalls until the timeout ends the download.
    TTestFtpServer server(false, TTestFtpServer::TFault::Stall, 20000);
    UseFtp(server.Account());
    WriteFile(server.GamesFolder() + u"/G0Aann.dat"_s, Game);
    TfrmMain &main = StartWithTrace();
    main.show();
    auto ftp = std::make_unique<TCurlFtpClient>(ShortTimeouts());
    main.Net().SetFtpClient(std::move(ftp));

    int ticks = 0;
    bool busySeen = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &main, [&] {
        ++ticks;
        busySeen = busySeen || main.Net().Busy();
        // The window system's close button: refused while the transfer runs.
        main.close();
    });
    timer.start(100);
    QElapsedTimer clock;
    clock.start();
    const QString message = FailureOf([&] { main.Net().DownloadUpdate(u"G0Aann.dat"_s, GameFile, StepStatus); });
    timer.stop();
    EXPECT_TRUE(message.contains(u"did not answer within"_s)) << message.toStdString();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_GE(ticks, 3) << "timers fire while the transfer runs";
    EXPECT_TRUE(busySeen);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(Statuses.contains(u"Wait for the transfer to end."_s));
    EXPECT_EQ(FileBytes(GameFile), Game);
    EXPECT_FALSE(main.Net().Busy());
}

TEST_F(NetServiceTest, SendMailMailsTheGameThroughStartTlsWithALogin)
{
    TTestMailServer server(TTestMailServer::TMode::StartTls, u"ann"_s, u"mail-pass"_s);
    Settings.WriteText(u"SMTP_Host"_s, u"127.0.0.1"_s);
    Settings.WriteText(u"SMTP_User"_s, u"ann"_s);
    Settings.WriteInteger(u"SMTP_Port"_s, server.Port());
    Settings.WriteText(u"SMTP_Password"_s, u"mail-pass"_s);
    Settings.WriteText(u"CertificateFile"_s, TTestCertificate::Get().Certificate);
    TfrmMain &main = StartWithTrace();

    main.Net().SendMail(QString::fromUtf16(GameSharing::kMailSubject), {u"Your turn."_s},
                        {u"bob@example.net"_s, u"cy@example.com"_s}, GameFile);
    const QList<QJsonObject> mails = server.Messages();
    ASSERT_EQ(mails.size(), 1);
    const qint64 size = mails.at(0).value(u"size"_s).toInteger();
    const QStringList steps = StatusesFrom(u"Creating Message..."_s);
    ASSERT_GE(steps.size(), 6);
    EXPECT_EQ(steps.mid(0, 3),
              QStringList({u"Creating Message..."_s, u"Connecting..."_s, u"Transmitting Message..."_s}));
    EXPECT_EQ(steps.at(steps.size() - 3), u"Mailing game data.  %1 bytes sent."_s.arg(size));
    EXPECT_EQ(steps.mid(steps.size() - 2),
              QStringList({u"Disconnecting..."_s, u"Mail message transmitted.  %1 bytes sent."_s.arg(size)}));
    const QJsonObject mail = mails.at(0);
    EXPECT_TRUE(mail.value(u"tls"_s).toBool());
    EXPECT_EQ(mail.value(u"from"_s).toArray().at(0).toArray().at(0).toString(), u"Ann Lee"_s);
    EXPECT_EQ(mail.value(u"rcpt_tos"_s).toArray().size(), 2);
    const QJsonArray parts = mail.value(u"parts"_s).toArray();
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(QByteArray::fromBase64(parts.at(1).toObject().value(u"data"_s).toString().toLatin1()), Game);

    // Each field of the user information is needed; so is somebody to mail.
    EXPECT_EQ(FailureOf([&] { main.Net().SendMail(u"s"_s, {}, {}, GameFile); }),
              u"No other player has an EMAIL address, so there is nobody to mail the game to."_s);
    Main.reset();
    Settings.WriteText(u"SMTP_User"_s, QString());
    TfrmMain &again = Start({}, false);
    Statuses.clear();
    EXPECT_EQ(FailureOf([&] { again.Net().SendMail(u"s"_s, {}, {u"bob@example.net"_s}, GameFile); }),
              u"Cannot do mail operations unless all fields on the \"Options, User Information\" form are filled "
              "in."_s);
    EXPECT_TRUE(Statuses.isEmpty());
    EXPECT_EQ(server.Messages().size(), 1);
}

TEST_F(NetServiceTest, DownloadGameOpensTheGameByItsFtpName)
{
    TTestFtpServer server;
    UseFtp(server.Account());
    WriteFile(server.GamesFolder() + u"/G0Aannexampleorg.dat"_s, Game);
    TfrmMain &main = StartWithTrace();
    // The game window opens what comes down; the test takes its place to see the file.
    EXPECT_TRUE(Item(u"mnuFileDownload"_s).isEnabled());
    QStringList opened;
    main.RegisterDocumentOpener(u".kgm"_s, [&](const QString &path) {
        opened << path;
        EXPECT_EQ(FileBytes(path), Game);
    });
    ASSERT_TRUE(Item(u"mnuFileDownload"_s).isEnabled());

    const QString local = Data.filePath(u"NetGame.KGM"_s);
    Prompts.ExpectInput(u"Enter the FTP name of your game."_s, u" G0Aannexampleorg.dat "_s);
    Prompts.ExpectSave(TFileChoice{{local}, 1});
    Item(u"mnuFileDownload"_s).trigger();
    EXPECT_EQ(opened, QStringList{local});
    EXPECT_EQ(Prompts.LastFileDialog.FileName, u"NetGame.KGM"_s);
    EXPECT_EQ(Prompts.LastFileDialog.Filter, u"FTP Game Files|*.DAT|Standard Game Files|*.KGM|All Files|*.*"_s);
    const QStringList steps = StatusesFrom(u"Connecting to KRASSIST server..."_s);
    EXPECT_EQ(steps.filter(u"..."_s),
              QStringList({u"Connecting to KRASSIST server..."_s, u"Preparing for download..."_s,
                           u"Loading game from local file..."_s, u"Disconnecting..."_s}));
    EXPECT_EQ(steps.last(), u"Download complete."_s);

    // Cancelled at either question.
    Prompts.ExpectInput(u"Enter the FTP name of your game."_s, std::nullopt);
    Item(u"mnuFileDownload"_s).trigger();
    EXPECT_EQ(main.StatusText(), u"Game download cancelled by user."_s);
    Prompts.ExpectInput(u"Enter the FTP name of your game."_s, u"G0Aannexampleorg.dat"_s);
    Prompts.ExpectSave(std::nullopt);
    Item(u"mnuFileDownload"_s).trigger();
    EXPECT_EQ(main.StatusText(), u"Game download cancelled by user."_s);

    // A name the server does not have: reported, and the local file stays as it was.
    WriteFile(local, "kept");
    Prompts.ExpectInput(u"Enter the FTP name of your game."_s, u"G77nobody.dat"_s);
    Prompts.ExpectSave(TFileChoice{{local}, 1});
    Prompts.ExpectMessage(
        u"The FTP server 127.0.0.1 (port %1) has no such file. (The file does not exist)"_s.arg(server.Port()));
    Item(u"mnuFileDownload"_s).trigger();
    EXPECT_EQ(main.StatusText(), u"Error downloading game."_s);
    EXPECT_EQ(FileBytes(local), QByteArray("kept"));
    EXPECT_EQ(opened.size(), 1);
    Prompts.CheckAllUsed();
}

TEST_F(NetServiceTest, TheUserInformationDialogKeepsTheServersAndPasswords)
{
    TfrmMain &main = Start({}, false);
    auto store = std::make_unique<TCountingPasswords>();
    TCountingPasswords &passwords = *store;
    main.Net().SetPasswordStore(std::move(store));

    QTimer::singleShot(0, &main, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // The defaults of a first start.
        EXPECT_EQ(dialog->findChild<QSpinBox *>(u"spnPort"_s)->value(), 587);
        EXPECT_EQ(dialog->findChild<QSpinBox *>(u"spnFTPPort"_s)->value(), 21);
        EXPECT_EQ(dialog->findChild<QLabel *>(u"lblPasswords"_s)->text(), u"Passwords are kept in a test."_s);
        dialog->findChild<QLineEdit *>(u"txtServer"_s)->setText(u"mail.example.org"_s);
        dialog->findChild<QLineEdit *>(u"txtPassword"_s)->setText(u"mail-pass"_s);
        dialog->findChild<QSpinBox *>(u"spnPort"_s)->setValue(465);
        dialog->findChild<QLineEdit *>(u"txtFTPServer"_s)->setText(u" files.example.org "_s);
        dialog->findChild<QSpinBox *>(u"spnFTPPort"_s)->setValue(2121);
        dialog->findChild<QLineEdit *>(u"txtFTPLogin"_s)->setText(u"ann"_s);
        dialog->findChild<QLineEdit *>(u"txtFTPPassword"_s)->setText(u"dice-pass"_s);
        dialog->findChild<QComboBox *>(u"cmbFTPSecurity"_s)->setCurrentIndex(1);
        dialog->findChild<QLineEdit *>(u"txtCertificate"_s)->setText(u"/etc/private-ca.pem"_s);
        dialog->accept();
    });
    Item(u"mnuOptionsUserInfo"_s).trigger();
    EXPECT_EQ(main.UserInfo().SmtpHost, u"mail.example.org"_s);
    // The servers are kept at once, the passwords in their store and nowhere else.
    EXPECT_EQ(Settings.Integer(u"SMTP_Port"_s), 465);
    EXPECT_EQ(Settings.Text(u"FTP_Host"_s), u"files.example.org"_s);
    EXPECT_EQ(Settings.Integer(u"FTP_Port"_s), 2121);
    EXPECT_EQ(Settings.Text(u"FTP_User"_s), u"ann"_s);
    EXPECT_EQ(Settings.Integer(u"FTP_Security"_s), 1);
    EXPECT_EQ(Settings.Text(u"CertificateFile"_s), u"/etc/private-ca.pem"_s);
    EXPECT_EQ(passwords.Kept.value(u"FTP"_s), u"dice-pass"_s);
    EXPECT_EQ(passwords.Kept.value(u"SMTP"_s), u"mail-pass"_s);
    EXPECT_EQ(passwords.Writes, 2);
    for (const QString &name : Settings.Names())
        EXPECT_FALSE(Settings.ReadStringSetting(name, QString()).contains(u"pass"_s)) << name.toStdString();

    // Shown again as kept; OK without a change writes no password again.
    QTimer::singleShot(0, &main, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<QLineEdit *>(u"txtFTPPassword"_s)->text(), u"dice-pass"_s);
        EXPECT_EQ(dialog->findChild<QLineEdit *>(u"txtFTPPassword"_s)->echoMode(), QLineEdit::Password);
        EXPECT_EQ(dialog->findChild<QComboBox *>(u"cmbFTPSecurity"_s)->currentIndex(), 1);
        EXPECT_EQ(dialog->findChild<QSpinBox *>(u"spnFTPPort"_s)->value(), 2121);
        dialog->accept();
    });
    main.EditUserInfo();
    EXPECT_EQ(passwords.Writes, 2);
    const TServerAccount ftp = main.Net().FtpAccount();
    EXPECT_EQ(ftp.Host, u"files.example.org"_s);
    EXPECT_EQ(ftp.Password, u"dice-pass"_s);
    EXPECT_EQ(ftp.Tls, TTlsMode::Required);
}
