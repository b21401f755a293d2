#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"
#include "shell/CatalogueFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

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
    EXPECT_TRUE(partial.RacesIncomplete);
    EXPECT_FALSE(catalogue.RacesIncomplete);

    // Saving what was read keeps the damaged file, and the races only it still holds.
    Shell.Statuses.clear();
    const QByteArray damaged = FileBytes(Path(u"damaged.DAT"_s));
    EXPECT_TRUE(WriteRaceData(partial, Path(u"damaged.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses, (QStringList{u"Writing race data..."_s,
                                           u"Damaged race file kept as "_s + Path(u"damaged.DAT.damaged"_s) + u'.',
                                           u"Race data written to disk."_s}));
    EXPECT_EQ(FileBytes(Path(u"damaged.DAT.damaged"_s)), damaged);
    EXPECT_FALSE(partial.RacesIncomplete);
    ASSERT_EQ(Shell.Informed.size(), 1);
    EXPECT_TRUE(Shell.Informed.front().contains(Path(u"damaged.DAT.damaged"_s)));
    Shell.Statuses.clear();
    EXPECT_TRUE(WriteRaceData(partial, Path(u"damaged.DAT"_s), Shell));
    EXPECT_EQ(Shell.Statuses.size(), 2) << "kept once";
    EXPECT_EQ(Shell.Informed.size(), 1);
    EXPECT_EQ(FileBytes(Path(u"damaged.DAT.damaged"_s)), damaged);

    // A copy kept from an earlier damage is never replaced.
    WriteFile(Path(u"damaged.DAT"_s), "damaged again");
    partial.RacesIncomplete = true;
    EXPECT_TRUE(WriteRaceData(partial, Path(u"damaged.DAT"_s), Shell));
    EXPECT_EQ(FileBytes(Path(u"damaged.DAT.damaged"_s)), damaged);
    EXPECT_EQ(FileBytes(Path(u"damaged.DAT.damaged2"_s)), "damaged again");

    // A database that is there but cannot be opened.
    ASSERT_TRUE(QDir(Folder.path()).mkdir(u"folder.DAT"_s));
    EXPECT_FALSE(ReadRaceData(partial, Path(u"folder.DAT"_s), Shell));
    EXPECT_TRUE(Shell.Errors.value(1).startsWith(u"Cannot open \"%1\": "_s.arg(Path(u"folder.DAT"_s))));
    // What cannot be kept is not written over.
    Shell.Statuses.clear();
    EXPECT_FALSE(WriteRaceData(partial, Path(u"folder.DAT"_s), Shell));
    EXPECT_EQ(Shell.Errors.value(2),
              u"Cannot keep the damaged race file as \"%1\"."_s.arg(Path(u"folder.DAT.damaged"_s)));
    EXPECT_TRUE(partial.RacesIncomplete);
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

    // A pipe (or a device) is not replaced by a plain file.
    const QString pipe = Path(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(FailureOf([&] { SaveFileWith(pipe, [](QIODevice &device) { device.write("x"); }); }),
              u"Cannot write \"%1\": it is not a regular file."_s.arg(pipe));
    EXPECT_FALSE(QFileInfo(pipe).isFile());
    EXPECT_TRUE(QFileInfo::exists(pipe));
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

TEST_F(CatalogueFilesTest, DeletedSymbolsLeaveBothFilesInStep)
{
    TCatalogue catalogue;
    for (const QString &name : {u"Alpha"_s, u"Beta"_s, u"Gamma"_s}) {
        TIconDescriptor icon;
        icon.Name = name;
        catalogue.Icons().Add(icon); // 6, 7, 8
    }
    auto race = catalogue.CreateRace();
    auto die = std::make_unique<TDie>(*race, u"Scout"_s);
    die->SetFace(1, 6, 2);
    die->SetFace(2, 8, 3);
    die->SetFace(3, 42, 1); // a symbol the table never had
    race->AddDie(std::move(die));
    catalogue.InsertRace(std::move(race));
    const TDie &scout = *catalogue.Races().front()->Die(1);
    EXPECT_EQ(catalogue.FindSymbolUser(8), &scout);
    EXPECT_EQ(catalogue.FindSymbolUser(7), nullptr);

    // Nothing deleted: only the icon file is written.
    const QString icons = Path(u"KRICONS.DAT"_s);
    const QString races = Path(u"KRRACES.DAT"_s);
    EXPECT_TRUE(WriteSymbolsAndRaces(catalogue, icons, races, Shell));
    EXPECT_FALSE(QFile::exists(races));

    // "Beta" deleted: "Gamma" moves from 8 to 7, and so does the face that shows it.
    catalogue.Icons().GetIcon(7)->Name.clear();
    Shell.Statuses.clear();
    EXPECT_TRUE(WriteSymbolsAndRaces(catalogue, icons, races, Shell));
    EXPECT_EQ(Shell.Statuses, (QStringList{u"Writing race data..."_s, u"Race data written to disk."_s,
                                           u"Saving icons to disk..."_s, u"Icons saved to disk."_s}));
    EXPECT_EQ(catalogue.Icons().Count(), 8);
    EXPECT_EQ(catalogue.Icons().GetIcon(7)->Name, u"Gamma");
    EXPECT_EQ(scout.FaceSymbol(1), 6);
    EXPECT_EQ(scout.FaceSymbol(2), 7);
    EXPECT_EQ(scout.FaceSymbol(3), 42);
    EXPECT_FALSE(catalogue.RacesModified);

    // Read back at the next start, the face shows "Gamma" again.
    TCatalogue next;
    EXPECT_TRUE(ReadIconData(next.Icons(), icons, Shell));
    EXPECT_TRUE(ReadRaceData(next, races, Shell));
    const TDie &again = *next.Races().front()->Die(1);
    EXPECT_EQ(again.FaceText(2), u"3 Gamma");
    EXPECT_EQ(again.FaceText(1), u"2 Alpha");

    // When the icon file cannot be written, the old race database comes back.
    const QByteArray before = FileBytes(races);
    catalogue.Icons().GetIcon(6)->Name.clear();
    scout.Race().Die(1)->SetFace(1, BasicIcon::Melee, 2); // nobody shows Alpha now
    Shell.Statuses.clear();
    catalogue.RacesIncomplete = true; // as if read from a damaged file
    EXPECT_FALSE(WriteSymbolsAndRaces(catalogue, Path(u"no/KRICONS.DAT"_s), races, Shell));
    EXPECT_EQ(FileBytes(races), before);
    EXPECT_EQ(Shell.Statuses.last(), u"Error writing icon file.");
    // ... and memory keeps the numbers the files have, and knows the file put back is
    // still the damaged one.
    EXPECT_EQ(catalogue.Icons().Count(), 8);
    EXPECT_EQ(catalogue.Icons().GetIcon(7)->Name, u"Gamma");
    EXPECT_EQ(scout.FaceSymbol(2), 7);
    EXPECT_FALSE(catalogue.RacesModified);
    EXPECT_TRUE(catalogue.RacesIncomplete);
    catalogue.RacesIncomplete = false;
    ASSERT_TRUE(QFile::remove(races + u".damaged"_s));

    // The same when the race database cannot be written (here: a folder stands in its place).
    ASSERT_TRUE(QFile::remove(races));
    ASSERT_TRUE(QDir(Folder.path()).mkdir(u"KRRACES.DAT"_s));
    EXPECT_FALSE(WriteSymbolsAndRaces(catalogue, icons, races, Shell));
    EXPECT_TRUE(Shell.Statuses.last().startsWith(u"Error writing"_s));
    EXPECT_EQ(scout.FaceSymbol(2), 7);
    EXPECT_EQ(catalogue.Icons().GetIcon(6)->Name, QString());
}
