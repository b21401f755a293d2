#include "MainFixture.h"
#include "ScopedEnvironment.h"
#include "dice/Catalogue.h"
#include "shell/ProgramIcon.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The program started as an installed one starts: its folder is PREFIX/bin, the sample
// catalogue (the fixture's) is in PREFIX/share/krassist, and the user's data folder is
// a folder of the test's own.
class InstalledProgramTest : public TMainFixture
{
protected:
    InstalledProgramTest()
    {
        QDir(Prefix.path()).mkpath(u"bin"_s);
        QDir(Prefix.path()).mkpath(u"share/krassist"_s);
        QFile::copy(RaceFile, InstalledRaces());
    }

    QString InstalledRaces() const { return Prefix.filePath(u"share/krassist/KRRACES.DAT"_s); }
    QString UserFolder() const { return Home.filePath(u"krassist"_s); }

    // As main() does: the data paths of the program's own folder.
    std::unique_ptr<TfrmMain> StartInstalled()
    {
        Statuses.clear();
        auto main =
            std::make_unique<TfrmMain>(Settings, Prompts, TDataPaths::Resolve(QString(), Prefix.filePath(u"bin"_s)),
                                       QStringList(), [this](const QString &text) { Statuses << text; });
        main->CreateWindows();
        main->show();
        return main;
    }

    QTemporaryDir Prefix;
    QTemporaryDir Home;
    TScopedEnvironment NoDataDir{"KRASSIST_DATA_DIR", QString()};
    TScopedEnvironment DataHome{"XDG_DATA_HOME", Home.path()};
};

QImage Picture(const QIcon &icon)
{
    return icon.pixmap(128).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST_F(InstalledProgramTest, ReadsTheInstalledCopyAndSavesInTheUsersFolder)
{
    const QByteArray installed = FileBytes(InstalledRaces());
    {
        const auto main = StartInstalled();
        const QString source = u"Catalogue read from the installed copy in "_s + Prefix.filePath(u"share/krassist"_s) +
                               u"; changes are saved in "_s + UserFolder() + u'.';
        EXPECT_EQ(main->StatusText(), source);
        EXPECT_EQ(Statuses.mid(Statuses.indexOf(u"Race data read from disk."_s)),
                  (QStringList{u"Race data read from disk."_s, source}));
        ASSERT_EQ(main->Catalogue().RaceCount(), 2);

        main->Catalogue().Races().front()->Name = u"Marshfolk"_s;
        main->MarkRacesChanged();
        QAction *save = main->findChild<QAction *>(u"mnuFileSaveRaces"_s);
        ASSERT_TRUE(save && save->isEnabled());
        save->trigger();
        EXPECT_EQ(main->StatusText(), u"Race data written to disk.");
        EXPECT_NE(FileBytes(UserFolder() + u"/KRRACES.DAT"_s).indexOf("Marshfolk"), -1);
        EXPECT_EQ(FileBytes(InstalledRaces()), installed);
    }

    // The next start reads the user's own copy.
    const auto again = StartInstalled();
    EXPECT_EQ(again->StatusText(), u"Catalogue read from your data folder "_s + UserFolder() + u'.');
    EXPECT_EQ(again->Catalogue().Races().front()->Name, u"Marshfolk");
}

TEST_F(InstalledProgramTest, EveryWindowShowsTheProgramsOwnIcon)
{
    const QImage icon = Picture(ProgramIcon());
    ASSERT_EQ(icon.size(), QSize(128, 128)) << "the SVG icon engine (libqt6svg6) is missing";
    // The gold top, the blue left face, the dark right face of the die.
    const QColor top = icon.pixelColor(64, 22);
    const QColor left = icon.pixelColor(30, 80);
    const QColor right = icon.pixelColor(107, 70);
    EXPECT_TRUE(top.red() > 200 && top.green() > 150 && top.blue() < 160) << top.name().toStdString();
    EXPECT_TRUE(left.blue() > left.red() + 60) << left.name().toStdString();
    EXPECT_TRUE(right.blue() > right.red() + 30 && right.blue() < left.blue()) << right.name().toStdString();
    EXPECT_EQ(icon.pixelColor(2, 2).alpha(), 0); // outside the die

    TfrmMain &main = Start();
    QList<QWidget *> windows{&main};
    for (QMdiSubWindow *child : main.MdiArea()->subWindowList())
        windows << child << child->widget();
    // The dialogs the frame made: about box, user information, ...
    for (QWidget *top : QApplication::topLevelWidgets()) {
        for (QWidget *up = top->parentWidget(); up; up = up->parentWidget()) {
            if (up == &main) {
                windows << top;
                break;
            }
        }
    }
    EXPECT_GT(windows.size(), 8);
    for (QWidget *window : windows)
        EXPECT_EQ(Picture(window->windowIcon()), icon) << window->objectName().toStdString();
}
