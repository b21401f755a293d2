// The game window's sharing: uploads to and downloads from the players' FTP server, the
// poll of a locked copy, and the game mailed to the other players.

#include "game/GameForm.h"

#include "KrException.h"
#include "game/GameDialogs.h"
#include "game/GameFile.h"
#include "game/GameSharing.h"
#include "net/NetService.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QTimer>

using namespace Qt::StringLiterals;

void TfrmGame::FTPSendFile()
{
    try {
        const TBusy busy(*this);
        bool named = false;
        if (FGame->FtpName().isEmpty()) {
            auto counter = quint32(FMain.FtpFileCount());
            const QString name = GameSharing::MakeFTPName(counter, UserEmail(), FMain.Clock().Now());
            FMain.SetFtpFileCount(qint32(counter));
            FGame->SetFtpName(name);
            named = true;
        }
        Show(u"Saving to disk..."_s);
        if (!SaveGame())
            return;
        FMain.Net().UploadGame(FFileName, FGame->FtpName(), [this](const QString &text) { Show(text); });
        QGuiApplication::clipboard()->setText(FGame->FtpName());
        if (named)
            FMain.Prompts().Information(windowTitle(), GameSharing::UploadCompleteText(FGame->FtpName()));
    } catch (const TKrException &failure) {
        Show(u"Error uploading game."_s);
        FMain.ReportError(failure, u"uploading game"_s);
    }
    UpdateMenus();
}

void TfrmGame::DownloadUpdate()
{
    const TBusy busy(*this);
    // The copy from the server replaces the local file only once the program could
    // open it as a game.
    const auto check = [this](const QString &downloaded) {
        OpenGameFile(downloaded, FMain.Catalogue(), FMain.Clock());
    };
    FMain.Net().DownloadUpdate(FGame->FtpName(), FFileName, [this](const QString &text) { Show(text); }, check);
    ReloadGame();
    Show(GameSharing::GameDownloadedStatus(QTime::currentTime(), QLocale::system()));
}

void TfrmGame::FTPReceiveFile()
{
    if (Ask(u"Download an update to this game?"_s, TGameButtons::YesNo, TGameAskKind::Confirmation) !=
        TGameAnswer::Yes) {
        Show(u"Download cancelled by user."_s);
        return;
    }
    try {
        DownloadUpdate();
        FMain.Prompts().Information(windowTitle(), u"Download complete."_s);
    } catch (const TKrException &failure) {
        Show(u"Error downloading game."_s);
        FMain.ReportError(failure, u"downloading game"_s);
    }
    UpdateMenus();
}

void TfrmGame::DisplayFTPName()
{
    QGuiApplication::clipboard()->setText(FGame->FtpName());
    FMain.Prompts().Information(windowTitle(), GameSharing::FtpNameText(FGame->FtpName()));
}

void TfrmGame::MailGame()
{
    if (Ask(u"EMAIL game to all players?"_s, TGameButtons::YesNo, TGameAskKind::Confirmation) != TGameAnswer::Yes ||
        !SaveGame()) {
        Show(u"Mail operation cancelled by user."_s);
        return;
    }
    const std::optional<QStringList> body = FDialogs.AskMailMessage(this);
    if (!body) {
        Show(u"Mail operation cancelled by user."_s);
        return;
    }
    try {
        const TBusy busy(*this);
        QStringList addresses;
        for (const TPlayer *player : FGame->ListPlayers())
            addresses << player->Email;
        FMain.Net().SendMail(QString::fromUtf16(GameSharing::kMailSubject), *body,
                             GameSharing::MailRecipients(addresses, UserEmail()), FFileName);
    } catch (const TKrException &failure) {
        FMain.ReportError(failure, u"mailing game"_s);
    }
}

void TfrmGame::ConfigureAutoSend()
{
    // The item's check mark shows the setting, not the click.
    mnuOptionsAutoSend->setChecked(FAutoSendInterval != 0);
    if (const std::optional<int> interval = FDialogs.AskAutoSend(this, FAutoSendInterval))
        SetAutoSendInterval(*interval);
}

void TfrmGame::SetAutoSendInterval(int seconds)
{
    FAutoSendInterval = std::max(0, seconds);
    mnuOptionsAutoSend->setChecked(FAutoSendInterval != 0);
    if (FAutoSendInterval == 0) {
        FUpdateTimer->stop();
        return;
    }
    FUpdateTimer->start(FAutoSendInterval * 1000);
}

void TfrmGame::AutoUpdate()
{
    if (FAutoSendInterval == 0 || HasControl() || FMain.Busy() || FMain.Net().Busy() ||
        FGame->FtpName().isEmpty() || !FGame->FtpGame || FFileName.isEmpty())
        return;
    try {
        DownloadUpdate();
    } catch (const TKrException &failure) {
        Show(u"Error downloading game."_s);
        FMain.ReportError(failure, u"downloading game"_s);
    }
    UpdateMenus();
}
