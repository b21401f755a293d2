#include "shell/DataPaths.h"
#include "ScopedEnvironment.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "shell/CatalogueFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A prefix as the install rules lay it out: bin/ and the catalogue in share/krassist/,
// and a per-user data folder of its own.
class DataPathsTest : public ::testing::Test
{
protected:
    DataPathsTest()
    {
        QDir(Folder.path()).mkpath(u"prefix/bin"_s);
        QDir(Folder.path()).mkpath(u"prefix/share/krassist"_s);
        QDir(Folder.path()).mkpath(u"build/bin"_s);
    }

    QString Path(const QString &name) const { return Folder.filePath(name); }
    QString Installed() const { return Path(u"prefix/share/krassist"_s); }
    QString User() const { return Path(u"xdg/krassist"_s); }

    QTemporaryDir Folder;
    TScopedEnvironment NoDataDir{"KRASSIST_DATA_DIR", QString()};
    TScopedEnvironment DataHome{"XDG_DATA_HOME", Folder.filePath(u"xdg"_s)};
};

} // namespace

TEST_F(DataPathsTest, TheOptionThenTheEnvironmentThenThePrefixThenTheProgramsFolder)
{
    WriteFile(Installed() + u"/KRRACES.DAT"_s, "races");
    EXPECT_EQ(TDataPaths::UserDataDirectory(), User());

    const TDataPaths installed = TDataPaths::Resolve(QString(), Path(u"prefix/bin"_s));
    EXPECT_TRUE(installed.Installed());
    EXPECT_EQ(installed.Directory(), Installed());
    EXPECT_EQ(installed.UserDirectory(), User());

    const TDataPaths built = TDataPaths::Resolve(QString(), Path(u"build/bin"_s));
    EXPECT_FALSE(built.Installed());
    EXPECT_EQ(built.Directory(), Path(u"build/bin"_s));
    EXPECT_EQ(built.SavePath(u"KRRACES.DAT"_s), Path(u"build/bin/KRRACES.DAT"_s));
    EXPECT_TRUE(built.SourceText().isEmpty());

    {
        const TScopedEnvironment named("KRASSIST_DATA_DIR", Path(u"elsewhere"_s));
        const TDataPaths environment = TDataPaths::Resolve(QString(), Path(u"prefix/bin"_s));
        EXPECT_FALSE(environment.Installed());
        EXPECT_EQ(environment.DataFilePath(u"KRRACES.DAT"_s), Path(u"elsewhere/KRRACES.DAT"_s));
        const TDataPaths option = TDataPaths::Resolve(Path(u"mine"_s), Path(u"prefix/bin"_s));
        EXPECT_FALSE(option.Installed());
        EXPECT_EQ(option.SavePath(u"KRICONS.DAT"_s), Path(u"mine/KRICONS.DAT"_s));
    }
    // Without XDG_DATA_HOME the folder is the home folder's.
    const TScopedEnvironment noHome("XDG_DATA_HOME", QString());
    EXPECT_EQ(TDataPaths::UserDataDirectory(), QDir::homePath() + u"/.local/share/krassist"_s);
}

TEST_F(DataPathsTest, EachFileIsReadFromTheUsersFolderWhenThereAndSavedThere)
{
    WriteFile(Installed() + u"/KRRACES.DAT"_s, "races");
    WriteFile(Installed() + u"/KRICONS.DAT"_s, "icons");
    const TDataPaths paths(Installed(), User());
    EXPECT_EQ(paths.DataFilePath(u"KRRACES.DAT"_s), Installed() + u"/KRRACES.DAT"_s);
    EXPECT_EQ(paths.SavePath(u"KRRACES.DAT"_s), User() + u"/KRRACES.DAT"_s);
    EXPECT_EQ(paths.SourceText(), u"Catalogue read from the installed copy in "_s + Installed() +
                                      u"; changes are saved in "_s + User() + u'.');

    QDir().mkpath(User());
    WriteFile(User() + u"/KRRACES.DAT"_s, "mine");
    EXPECT_EQ(paths.DataFilePath(u"KRRACES.DAT"_s), User() + u"/KRRACES.DAT"_s);
    EXPECT_EQ(paths.DataFilePath(u"KRICONS.DAT"_s), Installed() + u"/KRICONS.DAT"_s);
    EXPECT_EQ(paths.SourceText(),
              u"Race database read from "_s + User() + u", face symbols from "_s + Installed() + u'.');

    WriteFile(User() + u"/KRICONS.DAT"_s, "mine");
    EXPECT_EQ(paths.SourceText(), u"Catalogue read from your data folder "_s + User() + u'.');

    // Neither file anywhere: nothing to tell.
    EXPECT_TRUE(TDataPaths(Path(u"none"_s), Path(u"none-either"_s)).SourceText().isEmpty());
}

TEST_F(DataPathsTest, TheFirstSaveMakesTheUsersFolder)
{
    TCatalogue catalogue;
    catalogue.InsertRace(catalogue.CreateRace());
    catalogue.RacesModified = true;
    TRecordingShell shell;
    const TDataPaths paths(Installed(), User());
    EXPECT_FALSE(QFileInfo::exists(User()));
    ASSERT_TRUE(WriteRaceData(catalogue, paths.SavePath(u"KRRACES.DAT"_s), shell))
        << shell.Errors.join(u'\n').toStdString();
    EXPECT_TRUE(QFileInfo::exists(User() + u"/KRRACES.DAT"_s));
    EXPECT_FALSE(QFileInfo::exists(Installed() + u"/KRRACES.DAT"_s));
    EXPECT_EQ(paths.DataFilePath(u"KRRACES.DAT"_s), User() + u"/KRRACES.DAT"_s);

    // A folder that cannot be made: a file stands where it would go, and the save says so.
    WriteFile(Path(u"blocked"_s), "x");
    const TDataPaths blocked(Installed(), Path(u"blocked/krassist"_s));
    catalogue.RacesModified = true;
    EXPECT_FALSE(WriteRaceData(catalogue, blocked.SavePath(u"KRRACES.DAT"_s), shell));
    EXPECT_TRUE(shell.Errors.last().startsWith(u"Cannot write \""_s + Path(u"blocked/krassist/KRRACES.DAT"_s)))
        << shell.Errors.last().toStdString();
    EXPECT_TRUE(catalogue.RacesModified);
}
