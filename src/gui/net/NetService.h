#pragma once

#include "game/GameSharing.h"
#include "net/FtpClient.h"
#include "net/NetSettings.h"
#include "net/PasswordStore.h"
#include "net/SmtpClient.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TfrmMain;

// The main window's side of game sharing: its one FTP client and one mail client, the
// packet counter and the statuses their events write, the accounts and passwords,
// SendMail, and the transfers that the game window and "Download Game" run.
//
// Each transfer blocks its caller until it ends (within the timeouts) while the
// windows keep painting; see TCurlSession. While one runs, Busy() is true: the main
// window does not close then, a game window's poll waits for its next round, and a
// second transfer is refused.
//
// What a game window calls:
//   File "&Upload": Net().UploadGame(file, ftp name, its status line), after making
//     the name with GameSharing::MakeFTPName (counter from and back to the main
//     window) and saving the game; then the clipboard, the "Upload complete" message.
//   "Download Update" and the poll: Net().DownloadUpdate(ftp name, file, its status
//     line, a check that reads the file as a game), then it refreshes from the file and
//     shows GameSharing::GameDownloadedStatus.
//   "Send via &EMAIL": Net().SendMail(GameSharing::kMailSubject, the message lines,
//     GameSharing::MailRecipients(the players' addresses, the user's), the game file).
// Each throws a TKrException that the window reports in its own context.
class TNetService final : public TFtpEvents, public TMailEvents
{
public:
    using TStatus = std::function<void(const QString &)>;

    explicit TNetService(TfrmMain &main);
    ~TNetService() override;

    // Tests hand in clients and stores of their own; the program keeps the defaults
    // (libcurl, the passwords beside the settings) unless main() names the keyring.
    void SetFtpClient(std::unique_ptr<TFtpClient> client);
    void SetMailClient(std::unique_ptr<TMailClient> client);
    void SetPasswordStore(std::unique_ptr<TPasswordStore> store);
    void SetTrace(const TDebugTrace &trace) { FTrace = trace; }
    TPasswordStore &Passwords() { return *FPasswords; }
    const TDebugTrace &Trace() const { return FTrace; }

    TSharingAccounts Accounts() const;
    void SaveAccounts(const TSharingAccounts &accounts);
    // The accounts with their passwords, for the user information dialog, and back:
    // settings are written at once, a password only when it changed.
    TSharingSettings SharingSettings();
    void StoreSharingSettings(const TSharingSettings &edited, const TSharingSettings &shown);
    // The accounts as a transfer uses them, the password read from its store. Throw the
    // refusal when the server is not named (or, for mail, a field is missing).
    TServerAccount FtpAccount();
    TServerAccount MailAccount();

    bool Busy() const { return FBusy; }
    int Packets() const { return FPackets; }

    // Mails the attachment to the recipients, from the user's address under the first
    // line of the user's name and address.
    void SendMail(const QString &subject, const QStringList &body, const QStringList &recipients,
                  const QString &attachment);
    // The game file to the games folder of the server under its FTP name.
    void UploadGame(const QString &localFile, const QString &ftpName, const TStatus &status);
    // The server's copy over the local game file (only when it arrived whole and check
    // accepts it); the local address goes to the debug trace.
    void DownloadUpdate(const QString &ftpName, const QString &localFile, const TStatus &status,
                        const TDownloadCheck &check = {});
    // "Download Game": asks for the FTP name and a local file, downloads and opens it
    // as a game; reports its own failures.
    void DownloadGame(const std::function<void(const QString &)> &openGame);

    // The events of the clients, as statuses of the main window.
    void PacketReceived() override;
    void PacketSent() override;
    void PacketSent(qint64 bytes) override;
    void Failure(const QString &message) override;
    void Success() override;

private:
    // Connects to the games folder in binary mode: the first steps of every FTP command.
    void OpenGamesFolder(const TStatus &status);
    // Runs the transfer steps as one busy stretch; a connection left open by a failure is closed.
    void RunTransfer(const std::function<void()> &steps);

    TfrmMain &FMain;
    std::unique_ptr<TFtpClient> FFtp;
    std::unique_ptr<TMailClient> FMail;
    std::unique_ptr<TPasswordStore> FPasswords;
    TDebugTrace FTrace;
    int FPackets = 0;
    bool FBusy = false;
};
