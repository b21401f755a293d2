#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"
#include "shell/CatalogueFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void AddRace(TCatalogue &catalogue, const QString &name)
{
    auto race = catalogue.CreateRace();
    race->Name = name;
    race->AddDie(std::make_unique<TDie>(*race));
    catalogue.InsertRace(std::move(race));
}

class CatalogueFilesTest : public ::testing::Test
{
protected:
    QString Path(const QString &name) const { return Folder.filePath(name); }

    QTemporaryDir Folder;
    TRecordingShell Shell;
};

} // namespace

TEST_F(CatalogueFilesTest, ReadingTheRaceDatabase)
{
    TCatalogue catalogue;
    // No file: no races and not a word.
    EXPECT_TRUE(ReadRaceData(catalogue, Path(u"KRRACES.DAT"_s), Shell));
    EXPECT_TRUE(Shell.Statuses.isEmpty());
    EXPECT_EQ(catalogue.RaceCount(), 0);
    EXPECT_EQ(catalogue.PeekNextID(), 0);

    TCatalogue source;
    AddRace(source, u"Alpha"_s);
    AddRace(source, u"Beta"_s);
    const QByteArray bytes = WriteToBytes([&](TTaggedWriter &w) { WriteRaceStream(w, source); });
    WriteFile(Path(u"KRRACES.DAT"_s), bytes);
    EXPECT_TRUE(ReadRaceData(catalogue, Path(u"KRRACES.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses, (QStringList{u"Reading race data..."_s, u"Race data read from disk."_s}));
    EXPECT_EQ(catalogue.RaceCount(), 2);
    EXPECT_EQ(catalogue.PeekNextID(), 2);

    // Damage in the second race: the first stays, the failure is reported as reading.
    Shell.Statuses.clear();
    WriteFile(Path(u"damaged.DAT"_s), bytes.left(bytes.indexOf("Beta") + 2));
    TCatalogue partial;
    EXPECT_FALSE(ReadRaceData(partial, Path(u"damaged.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses, (QStringList{u"Reading race data..."_s, u"Error reading race file."_s}));
    EXPECT_EQ(Shell.Errors.value(0), u"The length of a text at offset %1 is 4 bytes but only 2 remain."_s.arg(
                                         bytes.indexOf("Beta") - 2));
    ASSERT_EQ(partial.RaceCount(), 1);
    EXPECT_EQ(partial.Races().front()->Name, u"Alpha");

    // A database that is there but cannot be opened.
    ASSERT_TRUE(QDir(Folder.path()).mkdir(u"folder.DAT"_s));
    EXPECT_FALSE(ReadRaceData(partial, Path(u"folder.DAT"_s), Shell));
    EXPECT_TRUE(Shell.Errors.value(1).startsWith(u"Cannot open \"%1\": "_s.arg(Path(u"folder.DAT"_s))));
}

TEST_F(CatalogueFilesTest, WritingTheRaceDatabase)
{
    TCatalogue catalogue;
    AddRace(catalogue, u"Alpha"_s);
    catalogue.RacesModified = true;
    EXPECT_TRUE(WriteRaceData(catalogue, Path(u"KRRACES.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses, (QStringList{u"Writing race data..."_s, u"Race data written to disk."_s}));
    EXPECT_FALSE(catalogue.RacesModified);
    EXPECT_EQ(FileBytes(Path(u"KRRACES.DAT"_s)), WriteToBytes([&](TTaggedWriter &w) { WriteRaceStream(w, catalogue); }));

    // A folder that cannot hold the file: reported, and the changes stay unsaved.
    WriteFile(Path(u"plain"_s), "x");
    catalogue.RacesModified = true;
    Shell.Statuses.clear();
    EXPECT_FALSE(WriteRaceData(catalogue, Path(u"plain/KRRACES.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses, (QStringList{u"Writing race data..."_s, u"Error writing race file."_s}));
    EXPECT_TRUE(Shell.Errors.value(0).startsWith(u"Cannot write \"%1\": "_s.arg(Path(u"plain/KRRACES.DAT"_s))));
    EXPECT_TRUE(catalogue.RacesModified);
}

TEST_F(CatalogueFilesTest, AFailedSaveLeavesTheOldFile)
{
    WriteFile(Path(u"KRRACES.DAT"_s), "old contents");
    const QString failure = FailureOf([&] {
        SaveFileWith(Path(u"KRRACES.DAT"_s), [](QIODevice &device) {
            device.write(QByteArray(10000, 'n'));
            throw TFileAccessError(u"disk full"_s);
        });
    });
    EXPECT_EQ(failure, u"disk full");
    EXPECT_EQ(FileBytes(Path(u"KRRACES.DAT"_s)), "old contents");
    EXPECT_EQ(QDir(Folder.path()).entryList(QDir::Files), QStringList{u"KRRACES.DAT"_s});
}

TEST_F(CatalogueFilesTest, TheIconFile)
{
    TIconTable table;
    EXPECT_TRUE(ReadIconData(table, Path(u"KRICONS.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses, QStringList{u"Loading special icons..."_s});
    EXPECT_EQ(table.Count(), 6);

    TIconDescriptor icon;
    icon.Name = u"Tidal Surge"_s;
    table.Add(icon);
    icon.Name = u"Undertow"_s;
    table.Add(icon);
    Shell.Statuses.clear();
    EXPECT_TRUE(WriteIconData(table, Path(u"KRICONS.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses, (QStringList{u"Saving icons to disk..."_s, u"Icons saved to disk."_s}));

    TIconTable loaded;
    Shell.Statuses.clear();
    EXPECT_TRUE(ReadIconData(loaded, Path(u"KRICONS.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses, (QStringList{u"Loading special icons..."_s, u"Icons loaded into viewer."_s}));
    EXPECT_EQ(loaded.IconByName(u"Undertow"), 7);

    // Damage after the first symbol: reported, and what was added stays.
    const QByteArray bytes = FileBytes(Path(u"KRICONS.DAT"_s));
    WriteFile(Path(u"KRICONS.DAT"_s), bytes.left(bytes.indexOf("Undertow")));
    TIconTable partial;
    Shell.Statuses.clear();
    EXPECT_FALSE(ReadIconData(partial, Path(u"KRICONS.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses, (QStringList{u"Loading special icons..."_s, u"Error initializing icon viewer."_s}));
    EXPECT_EQ(partial.Count(), 7);

    Shell.Statuses.clear();
    EXPECT_FALSE(WriteIconData(table, Path(u"missing/KRICONS.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses, (QStringList{u"Saving icons to disk..."_s, u"Error writing icon file."_s}));
}
