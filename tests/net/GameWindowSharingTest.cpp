// Two players' copies of one game, each in a program of its own, passing the game and its
// control through a real FTP server on 127.0.0.1.

#include "MainFixture.h"
#include "NetServers.h"
#include "ScriptedGameDialogs.h"

#include "game/GameData.h"
#include "game/GameForm.h"
#include "game/GameSetup.h"
#include "net/NetService.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The second player's machine: settings, answers and data folder of its own.
struct TOtherMachine
{
    QTemporaryDir Data;
    TMemorySettingsStore Settings;
    TScriptedPrompts Prompts;
    TScriptedGameDialogs Dialogs;
    QStringList Statuses;
    std::unique_ptr<TfrmMain> Main;

    ~TOtherMachine()
    {
        Main.reset();
        Dialogs.CheckAllUsed();
        Prompts.CheckAllUsed();
    }

    QAction &Item(const QString &name) const
    {
        auto *item = Main->findChild<QAction *>(name);
        EXPECT_NE(item, nullptr) << name.toStdString();
        static QAction missing;
        return item ? *item : missing;
    }
};

class GameWindowSharingTest : public TMainFixture
{
protected:
    GameWindowSharingTest()
    {
        UseAccount(Settings, u"ann@example.org"_s, u"Ann Lee"_s);
        UseAccount(Bob.Settings, u"bob@example.net"_s, u"Bob Marsh"_s);
        QFile::copy(RaceFile, Bob.Data.filePath(u"KRRACES.DAT"_s));
    }

    ~GameWindowSharingTest() override
    {
        Main.reset();
        Dialogs.CheckAllUsed();
        Prompts.CheckAllUsed();
    }

    void UseAccount(TMemorySettingsStore &settings, const QString &email, const QString &name)
    {
        const TServerAccount account = Server.Account();
        settings.WriteText(u"EMAIL"_s, email);
        settings.WriteText(u"UserStuff"_s, name);
        settings.WriteText(u"FTP_Host"_s, account.Host);
        settings.WriteInteger(u"FTP_Port"_s, account.Port);
        settings.WriteText(u"FTP_User"_s, account.User);
        settings.WriteText(u"FTP_Password"_s, account.Password);
    }

    void StartBob()
    {
        Bob.Main = std::make_unique<TfrmMain>(Bob.Settings, Bob.Prompts, TDataPaths(Bob.Data.path()), QStringList(),
                                              [this](const QString &text) { Bob.Statuses << text; });
        Bob.Main->CreateWindows();
        Bob.Main->SetGameDialogs(&Bob.Dialogs);
    }

    // Ann's FTP game with Bob as the second player, saved and in Ann's control.
    TfrmGame &AnnsGame()
    {
        Start();
        Main->SetGameDialogs(&Dialogs);
        TNewGame choice;
        choice.Name = u"Border War"_s;
        choice.FirstPlayer = u"Ann"_s;
        choice.Mode = TPlayMode::Ftp;
        Dialogs.NewGames.push_back(choice);
        Prompts.ExpectMessage(u"You now have control of the game."_s);
        Item(u"mnuFileNewGame"_s).trigger();
        TfrmGame &game = *Main->GameForms().back();
        TPlayer &bob = *game.Game().Player(2);
        bob.Name = u"Bob"_s;
        bob.Email = u"bob@example.net"_s;
        Prompts.ExpectSave(TFileChoice{{AnnFile}, 1});
        EXPECT_TRUE(game.SaveGame());
        return game;
    }

    QString ServerFile(const QString &name) const { return Server.GamesFolder() + u'/' + name; }

    TTestFtpServer Server;
    TScriptedGameDialogs Dialogs;
    TOtherMachine Bob;
    QString AnnFile = Data.filePath(u"Border War.kgm"_s);
};

} // namespace

TEST_F(GameWindowSharingTest, ControlGoesToTheOtherCopyAndComesBack)
{
    TfrmGame &ann = AnnsGame();
    QStringList annGameStatuses;
    QObject::connect(&ann, &TfrmGame::StatusChanged, &ann, [&](const QString &text) { annGameStatuses << text; });
    ann.SetAutoSendInterval(1);

    // The first upload names the file on the server and says so; the name is also on the
    // clipboard for the other players.
    Prompts.ExpectMessage(QString());
    Item(u"mnuGameUpload"_s).trigger();
    const QString ftpName = ann.Game().FtpName();
    ASSERT_FALSE(ftpName.isEmpty());
    // The counter, the letters and digits of Ann's address, the time stamp.
    EXPECT_TRUE(ftpName.startsWith(u"G00annexampleorg"_s)) << ftpName.toStdString();
    EXPECT_TRUE(Prompts.Transcript.last().endsWith(u"Upload complete.  FTP name is "_s + ftpName + u'.'))
        << Prompts.Transcript.last().toStdString();
    EXPECT_EQ(QApplication::clipboard()->text(), ftpName);
    EXPECT_EQ(FileBytes(ServerFile(ftpName)), FileBytes(AnnFile));
    // Later uploads overwrite the same file without a word.
    const qsizetype messages = Prompts.Transcript.size();
    Item(u"mnuGameUpload"_s).trigger();
    EXPECT_EQ(ann.Game().FtpName(), ftpName);
    EXPECT_EQ(Prompts.Transcript.size(), messages);
    EXPECT_TRUE(annGameStatuses.contains(u"Game transmitted to KRASSIST server."_s));
    EXPECT_EQ(QDir(Server.GamesFolder()).entryList(QDir::Files), QStringList{ftpName});

    // Bob fetches the game by the name Ann gave him: it is locked for him.
    StartBob();
    const QString bobFile = Bob.Data.filePath(u"Border War.kgm"_s);
    Bob.Prompts.ExpectInput(u"Enter the FTP name of your game."_s, ftpName);
    Bob.Prompts.ExpectSave(TFileChoice{{bobFile}, 1});
    Bob.Item(u"mnuFileDownload"_s).trigger();
    ASSERT_EQ(Bob.Main->GameForms().size(), 1u);
    TfrmGame &bob = *Bob.Main->GameForms().front();
    QStringList bobGameStatuses;
    QObject::connect(&bob, &TfrmGame::StatusChanged, &bob, [&](const QString &text) { bobGameStatuses << text; });
    EXPECT_FALSE(bob.HasControl());
    EXPECT_EQ(FileBytes(bobFile), FileBytes(AnnFile));

    // Ann hands control to Bob with a message; the change goes up at once. Her copy stops
    // polling while Bob has the game (she set no interval of her own for that time).
    Dialogs.Controllers.push_back(TControlChoice{ann.Game().Player(2), u"Your move, Bob."_s});
    Item(u"mnuGameSetupTransferControl"_s).trigger();
    EXPECT_FALSE(ann.HasControl());
    EXPECT_FALSE(ann.Game().Modified());
    EXPECT_EQ(FileBytes(ServerFile(ftpName)), FileBytes(AnnFile));
    ann.SetAutoSendInterval(0);

    // Bob's timer fetches the update, and his copy tells him he has the game now, with
    // Ann's message in place of the plain one.
    Bob.Prompts.ExpectMessage(u"Your move, Bob."_s);
    bob.SetAutoSendInterval(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bob.HasControl(); }, 15000));
    EXPECT_EQ(FileBytes(bobFile), FileBytes(AnnFile));
    EXPECT_TRUE(bobGameStatuses.contains(u"Game updated from disk file."_s));
    EXPECT_TRUE(bobGameStatuses.last().startsWith(u"Game downloaded from KRASSIST server at "_s))
        << bobGameStatuses.last().toStdString();
    // With control, his timer leaves the server alone.
    const qsizetype fetched = bobGameStatuses.count(u"Game updated from disk file."_s);
    QTest::qWait(2500);
    EXPECT_EQ(bobGameStatuses.count(u"Game updated from disk file."_s), fetched);

    // Bob gives it back; Ann's copy, polling again, gets control with the plain message.
    Bob.Dialogs.Controllers.push_back(TControlChoice{bob.Game().Player(1), QString()});
    Bob.Item(u"mnuGameSetupTransferControl"_s).trigger();
    EXPECT_FALSE(bob.HasControl());
    EXPECT_EQ(FileBytes(ServerFile(ftpName)), FileBytes(bobFile));
    Prompts.ExpectMessage(u"You now have control of the game."_s);
    ann.SetAutoSendInterval(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ann.HasControl(); }, 15000));
    EXPECT_EQ(FileBytes(AnnFile), FileBytes(bobFile));
    EXPECT_EQ(ann.Game().Controller(), ann.Game().Player(1));
}

TEST_F(GameWindowSharingTest, AnEmergencyUnlockFreesAGameStuckWithAnotherPlayer)
{
    TfrmGame &ann = AnnsGame();
    ann.SetAutoSendInterval(1);
    Prompts.ExpectMessage(QString());
    Item(u"mnuGameUpload"_s).trigger();
    // Control went to Bob, whose machine is gone; Ann's copy is locked.
    Dialogs.Controllers.push_back(TControlChoice{ann.Game().Player(2), QString()});
    Item(u"mnuGameSetupTransferControl"_s).trigger();
    ann.SetAutoSendInterval(0);
    ASSERT_FALSE(ann.HasControl());
    const QByteArray locked = FileBytes(AnnFile);

    // Said no to, nothing changes.
    Prompts.ExpectAsk(u"Are you ABSOLUTELY SURE you want to do an emergency unlock of this game?"_s,
                      TAnswer::No);
    Item(u"mnuGameEmergencyUnlock"_s).trigger();
    EXPECT_EQ(ann.Game().Controller(), ann.Game().Player(2));
    EXPECT_EQ(FileBytes(AnnFile), locked);

    Prompts.ExpectAsk(u"Are you ABSOLUTELY SURE you want to do an emergency unlock of this game?"_s,
                      TAnswer::Yes);
    Item(u"mnuGameEmergencyUnlock"_s).trigger();
    EXPECT_EQ(ann.Game().Controller(), nullptr);
    EXPECT_TRUE(ann.Game().Log().last().endsWith(u">* Emergency unlock."_s)) << ann.Game().Log().last().toStdString();
    // The unlocked game is what the server has now, so every copy sees it free.
    EXPECT_EQ(FileBytes(ServerFile(ann.Game().FtpName())), FileBytes(AnnFile));
}

TEST_F(GameWindowSharingTest, AFailedUploadLeavesTheGameAsSaved)
{
    TfrmGame &ann = AnnsGame();
    const QByteArray saved = FileBytes(AnnFile);
    Settings.WriteText(u"FTP_Password"_s, u"not-the-password"_s);
    // The account is read when the transfer starts.
    Prompts.ExpectMessage(QString());
    Item(u"mnuGameUpload"_s).trigger();
    EXPECT_EQ(Main->StatusText(), u"Error uploading game."_s);
    EXPECT_TRUE(Prompts.Transcript.last().contains(u"refused the login of \"player\""_s))
        << Prompts.Transcript.last().toStdString();
    EXPECT_FALSE(Prompts.Transcript.last().contains(u"not-the-password"_s));
    EXPECT_TRUE(QDir(Server.GamesFolder()).entryList(QDir::Files).isEmpty());
    // The name was given to the game and saved with it before the upload: the next try
    // uses the same name, and the file holds the game as saved then.
    EXPECT_FALSE(ann.Game().Modified());
    EXPECT_NE(FileBytes(AnnFile), saved);
}
