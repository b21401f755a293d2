#include "net/NetService.h"

#include "shell/MainForm.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"

using namespace Qt::StringLiterals;
using namespace GameSharing;

namespace {

const QString kFtpPasswordKey = u"FTP"_s;
const QString kMailPasswordKey = u"SMTP"_s;

} // namespace

TNetService::TNetService(TfrmMain &main)
    : FMain(main)
    , FFtp(std::make_unique<TCurlFtpClient>())
    , FMail(std::make_unique<TCurlMailClient>())
    , FPasswords(std::make_unique<TSettingsPasswordStore>(main.Settings()))
    , FTrace(TDebugTrace::DefaultPath())
{
    FFtp->SetEvents(this);
    FMail->SetEvents(this);
}

TNetService::~TNetService() = default;

void TNetService::SetFtpClient(std::unique_ptr<TFtpClient> client)
{
    FFtp = std::move(client);
    FFtp->SetEvents(this);
}

void TNetService::SetMailClient(std::unique_ptr<TMailClient> client)
{
    FMail = std::move(client);
    FMail->SetEvents(this);
}

void TNetService::SetPasswordStore(std::unique_ptr<TPasswordStore> store)
{
    FPasswords = std::move(store);
}

TSharingAccounts TNetService::Accounts() const
{
    return TSharingAccounts::Load(FMain.Settings());
}

void TNetService::SaveAccounts(const TSharingAccounts &accounts)
{
    accounts.Save(FMain.Settings());
}

TSharingSettings TNetService::SharingSettings()
{
    return {Accounts(), FPasswords->Read(kMailPasswordKey), FPasswords->Read(kFtpPasswordKey)};
}

void TNetService::StoreSharingSettings(const TSharingSettings &edited, const TSharingSettings &shown)
{
    if (edited.Accounts != shown.Accounts)
        SaveAccounts(edited.Accounts);
    if (edited.MailPassword != shown.MailPassword)
        FPasswords->Write(kMailPasswordKey, edited.MailPassword);
    if (edited.FtpPassword != shown.FtpPassword)
        FPasswords->Write(kFtpPasswordKey, edited.FtpPassword);
}

TServerAccount TNetService::FtpAccount()
{
    const TSharingAccounts accounts = Accounts();
    if (accounts.FtpHost.trimmed().isEmpty())
        throw TKrException(u"Cannot do FTP until an FTP server is entered via Options,User Information."_s);
    return {accounts.FtpHost.trimmed(),        accounts.FtpPort, accounts.FtpUser,
            FPasswords->Read(kFtpPasswordKey), accounts.FtpTls,  accounts.CertificateFile};
}

TServerAccount TNetService::MailAccount()
{
    const TUserInfo &user = FMain.UserInfo();
    if (user.SmtpHost.trimmed().isEmpty() || user.SmtpUser.isEmpty() || user.Email.isEmpty())
        throw TKrException(MissingMailFieldsText());
    const TSharingAccounts accounts = Accounts();
    return {user.SmtpHost.trimmed(), accounts.MailPort,       user.SmtpUser, FPasswords->Read(kMailPasswordKey),
            accounts.MailTls,        accounts.CertificateFile};
}

void TNetService::RunTransfer(const std::function<void()> &steps)
{
    if (FBusy)
        throw TKrException(u"Another transfer is still running; try again when it has ended."_s);
    FBusy = true;
    try {
        steps();
    } catch (...) {
        // The connection is closed whatever went wrong; a failure to say goodbye adds nothing.
        try {
            if (FFtp->Connected())
                FFtp->Disconnect();
            if (FMail->Connected())
                FMail->Disconnect();
        } catch (const TKrException &) {
        }
        FBusy = false;
        throw;
    }
    FBusy = false;
}

void TNetService::SendMail(const QString &subject, const QStringList &body, const QStringList &recipients,
                           const QString &attachment)
{
    const TServerAccount account = MailAccount();
    if (recipients.isEmpty())
        throw TKrException(u"No other player has an EMAIL address, so there is nobody to mail the game to."_s);
    RunTransfer([&] {
        const TUserInfo &user = FMain.UserInfo();
        FMain.ShowStatus(u"Creating Message..."_s);
        FMail->SetAccount(account);
        TMailMessage &message = FMail->Message();
        message = TMailMessage();
        message.SenderAddress = user.Email;
        message.SenderName = user.Address.section(u'\n', 0, 0).trimmed();
        message.Recipients = recipients;
        message.Subject = subject;
        message.Body = body;
        message.Attachments = attachment.isEmpty() ? QStringList() : QStringList{attachment};
        message.Mailer = QString::fromUtf16(kMailer);
        FMain.ShowStatus(u"Connecting..."_s);
        FMail->Connect();
        FMain.ShowStatus(u"Transmitting Message..."_s);
        const qint64 sent = FMail->Send();
        FMain.ShowStatus(u"Disconnecting..."_s);
        FMail->Disconnect();
        FMain.ShowStatus(MailSentStatus(sent));
    });
}

void TNetService::OpenGamesFolder(const TStatus &status)
{
    const TServerAccount account = FtpAccount();
    status(u"Connecting to KRASSIST server..."_s);
    FFtp->SetAccount(account);
    FFtp->Connect();
    FPackets = 0;
    FFtp->ChangeDirectory(QString::fromUtf16(kServerDirectory));
    FFtp->SetTransferType(TTransferType::Binary);
}

void TNetService::UploadGame(const QString &localFile, const QString &ftpName, const TStatus &status)
{
    RunTransfer([&] {
        OpenGamesFolder(status);
        status(u"Uploading game file..."_s);
        FFtp->Upload(localFile, CheckFTPName(ftpName));
        status(u"Disconnecting..."_s);
        FFtp->Disconnect();
        status(u"Game transmitted to KRASSIST server."_s);
    });
}

void TNetService::DownloadUpdate(const QString &ftpName, const QString &localFile, const TStatus &status,
                                 const TDownloadCheck &check)
{
    RunTransfer([&] {
        OpenGamesFolder(status);
        FTrace.LocalAddress(FFtp->LocalAddress(), FMain.Clock().Now());
        status(u"Downloading game file..."_s);
        FFtp->Download(CheckFTPName(ftpName), localFile, check);
        status(u"Disconnecting..."_s);
        FFtp->Disconnect();
    });
}

void TNetService::DownloadGame(const std::function<void(const QString &)> &openGame)
{
    const std::optional<QString> typed =
        FMain.Prompts().InputBox(u"FTP Handler"_s, u"Enter the FTP name of your game."_s, QString());
    TFileDialog dialog;
    dialog.Title = u"Download Game"_s;
    dialog.Filter = u"FTP Game Files|*.DAT|Standard Game Files|*.KGM|All Files|*.*"_s;
    dialog.DefaultExtension = u".DAT"_s;
    QString localFile;
    if (!typed || !FMain.ChooseSaveFile(localFile, dialog, true, u"NetGame.KGM"_s)) {
        FMain.ShowStatus(u"Game download cancelled by user."_s);
        return;
    }
    const TStatus status = [this](const QString &text) { FMain.ShowStatus(text); };
    try {
        RunTransfer([&] {
            const QString ftpName = CheckFTPName(*typed);
            OpenGamesFolder(status);
            status(u"Preparing for download..."_s);
            FFtp->Download(ftpName, localFile);
            status(u"Loading game from local file..."_s);
            openGame(localFile);
            status(u"Disconnecting..."_s);
            FFtp->Disconnect();
            status(u"Download complete."_s);
        });
    } catch (const TKrException &failure) {
        FMain.ReportError(failure, u"downloading game"_s);
    }
}

void TNetService::PacketReceived()
{
    FMain.ShowStatus(PacketsReadStatus(++FPackets));
}

void TNetService::PacketSent()
{
    FMain.ShowStatus(PacketsWrittenStatus(++FPackets));
}

void TNetService::PacketSent(qint64 bytes)
{
    FMain.ShowStatus(MailProgressStatus(bytes));
}

void TNetService::Failure(const QString &)
{
    // The failure itself goes on to the command's guarded block, which reports it.
    FMain.ShowStatus(FtpFailedStatus());
}

void TNetService::Success()
{
    FMain.ShowStatus(FtpSucceededStatus());
}
