#include "TestSupport.h"
#include "shell/SettingsStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString kText = u"Ånne Ørsted, 12 Rue d'Été\r\nLine two \u263A"_s;
const QByteArray kBinary = QByteArray("\x00\x01\x00\xFF\x7F\x00", 6);

} // namespace

TEST(SettingsStore, MemoryStoreKeepsEachValueWithItsType)
{
    TMemorySettingsStore store;
    EXPECT_EQ(store.TypeOf(u"Missing"_s), TSettingType::None);
    EXPECT_FALSE(store.Exists(u"Missing"_s));

    store.WriteInteger(u"Number"_s, -17);
    store.WriteText(u"Words"_s, kText);
    store.WriteBinary(u"Block"_s, kBinary);
    store.WriteText(u"Empty"_s, QString());
    EXPECT_EQ(store.Count(), 4);
    EXPECT_EQ(store.TypeOf(u"Number"_s), TSettingType::Integer);
    EXPECT_EQ(store.TypeOf(u"Words"_s), TSettingType::Text);
    EXPECT_EQ(store.TypeOf(u"Block"_s), TSettingType::Binary);
    EXPECT_EQ(store.TypeOf(u"Empty"_s), TSettingType::Text);
    EXPECT_TRUE(store.Exists(u"Empty"_s));
    EXPECT_EQ(store.Integer(u"Number"_s), -17);
    EXPECT_EQ(store.Text(u"Words"_s), kText);
    EXPECT_EQ(store.Binary(u"Block"_s), kBinary);
    // Names are case-sensitive keys of their own.
    EXPECT_FALSE(store.Exists(u"number"_s));

    // Writing another type replaces the value and its type.
    store.WriteText(u"Number"_s, u"seven"_s);
    EXPECT_EQ(store.TypeOf(u"Number"_s), TSettingType::Text);
    EXPECT_EQ(store.Count(), 4);

    store.Remove(u"Number"_s);
    store.Remove(u"Never There"_s);
    EXPECT_FALSE(store.Exists(u"Number"_s));
    EXPECT_EQ(store.Count(), 3);

    // Flags are stored as the integers 0 and 1.
    store.WriteBoolSetting(u"On"_s, true);
    store.WriteBoolSetting(u"Off"_s, false);
    EXPECT_EQ(store.TypeOf(u"On"_s), TSettingType::Integer);
    EXPECT_EQ(store.Integer(u"On"_s), 1);
    EXPECT_EQ(store.Integer(u"Off"_s), 0);
    store.WriteStringSetting(u"Dir"_s, u"12"_s);
    EXPECT_EQ(store.TypeOf(u"Dir"_s), TSettingType::Text);
    store.WriteIntegerSetting(u"Count"_s, 12);
    EXPECT_EQ(store.TypeOf(u"Count"_s), TSettingType::Integer);
}

TEST(SettingsStore, BoolReadsOnlyIntegers)
{
    TMemorySettingsStore store;
    store.WriteInteger(u"Zero"_s, 0);
    store.WriteInteger(u"One"_s, 1);
    store.WriteInteger(u"Minus"_s, -7);
    store.WriteInteger(u"Big"_s, 256);
    store.WriteText(u"TextOne"_s, u"1"_s);
    store.WriteText(u"TextZero"_s, u"0"_s);
    store.WriteBinary(u"Block"_s, QByteArray("\x01\x00\x00\x00", 4));

    for (const bool fallback : {false, true}) {
        EXPECT_FALSE(store.ReadBoolSetting(u"Zero"_s, fallback));
        EXPECT_TRUE(store.ReadBoolSetting(u"One"_s, fallback));
        EXPECT_TRUE(store.ReadBoolSetting(u"Minus"_s, fallback));
        EXPECT_TRUE(store.ReadBoolSetting(u"Big"_s, fallback)); // not only the low byte
        // Anything but an integer gives the default.
        EXPECT_EQ(store.ReadBoolSetting(u"TextOne"_s, fallback), fallback);
        EXPECT_EQ(store.ReadBoolSetting(u"TextZero"_s, fallback), fallback);
        EXPECT_EQ(store.ReadBoolSetting(u"Block"_s, fallback), fallback);
        EXPECT_EQ(store.ReadBoolSetting(u"Missing"_s, fallback), fallback);
    }
}

TEST(SettingsStore, StringReadsTextAndIntegers)
{
    TMemorySettingsStore store;
    store.WriteText(u"Words"_s, kText);
    store.WriteText(u"Empty"_s, QString());
    store.WriteInteger(u"Negative"_s, -42);
    store.WriteInteger(u"Lowest"_s, std::numeric_limits<qint32>::min());
    store.WriteBinary(u"Block"_s, QByteArray("abc", 3));

    EXPECT_EQ(store.ReadStringSetting(u"Words"_s, u"x"_s), kText);
    // An empty text is a value, not a missing one.
    EXPECT_EQ(store.ReadStringSetting(u"Empty"_s, u"x"_s), QString());
    EXPECT_EQ(store.ReadStringSetting(u"Negative"_s, u"x"_s), u"-42"_s);
    EXPECT_EQ(store.ReadStringSetting(u"Lowest"_s, u"x"_s), u"-2147483648"_s);
    EXPECT_EQ(store.ReadStringSetting(u"Block"_s, u"x"_s), u"x"_s);
    EXPECT_EQ(store.ReadStringSetting(u"Missing"_s, u"fallback"_s), u"fallback"_s);
}

TEST(SettingsStore, IntegerReadsIntegersAndConvertibleText)
{
    TMemorySettingsStore store;
    store.WriteInteger(u"Number"_s, -2000000000);
    store.WriteText(u"Plain"_s, u"17"_s);
    store.WriteText(u"Padded"_s, u"  -5 "_s);
    store.WriteText(u"Word"_s, u"twelve"_s);
    store.WriteText(u"Trailing"_s, u"12abc"_s);
    store.WriteText(u"Inner"_s, u"1 2"_s);
    store.WriteText(u"Empty"_s, QString());
    store.WriteText(u"Fraction"_s, u"3.5"_s);
    store.WriteText(u"TooBig"_s, u"2147483648"_s);
    store.WriteText(u"Largest"_s, u"2147483647"_s);
    store.WriteBinary(u"Block"_s, QByteArray("\x05\x00\x00\x00", 4));

    EXPECT_EQ(store.ReadIntegerSetting(u"Number"_s, 9), -2000000000);
    EXPECT_EQ(store.ReadIntegerSetting(u"Plain"_s, 9), 17);
    EXPECT_EQ(store.ReadIntegerSetting(u"Padded"_s, 9), -5);
    EXPECT_EQ(store.ReadIntegerSetting(u"Largest"_s, 9), 2147483647);
    EXPECT_EQ(store.ReadIntegerSetting(u"Word"_s, 9), 9);
    EXPECT_EQ(store.ReadIntegerSetting(u"Trailing"_s, 9), 9);
    EXPECT_EQ(store.ReadIntegerSetting(u"Inner"_s, 9), 9);
    EXPECT_EQ(store.ReadIntegerSetting(u"Empty"_s, 9), 9);
    EXPECT_EQ(store.ReadIntegerSetting(u"Fraction"_s, 9), 9);
    EXPECT_EQ(store.ReadIntegerSetting(u"TooBig"_s, 9), 9);
    EXPECT_EQ(store.ReadIntegerSetting(u"Block"_s, 9), 9);
    EXPECT_EQ(store.ReadIntegerSetting(u"Missing"_s, -3), -3);
}

TEST(SettingsStore, FileKeepsTypesAcrossReopen)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // The folder of the file is made on the first write.
    const QString path = folder.filePath(u"QRV/KRAssist/settings.json"_s);
    {
        TFileSettingsStore store(path);
        EXPECT_EQ(store.Path(), path);
        EXPECT_TRUE(store.LastError().isEmpty());
        EXPECT_EQ(store.Count(), 0);
        store.WriteInteger(u"FTPFileCount"_s, 12);
        store.WriteInteger(u"Lowest"_s, std::numeric_limits<qint32>::min());
        store.WriteInteger(u"Highest"_s, std::numeric_limits<qint32>::max());
        store.WriteText(u"UserStuff"_s, kText);
        store.WriteText(u"Digits"_s, u"0012"_s);
        store.WriteText(u"Empty"_s, QString());
        store.WriteBinary(u"MainForm"_s, kBinary);
        store.WriteBinary(u"NoBytes"_s, QByteArray());
        EXPECT_TRUE(store.LastError().isEmpty()) << store.LastError().toStdString();
    }
    ASSERT_TRUE(QFileInfo::exists(path));

    const TFileSettingsStore reopened(path);
    EXPECT_TRUE(reopened.LastError().isEmpty()) << reopened.LastError().toStdString();
    EXPECT_EQ(reopened.Count(), 8);
    EXPECT_EQ(reopened.TypeOf(u"FTPFileCount"_s), TSettingType::Integer);
    EXPECT_EQ(reopened.Integer(u"FTPFileCount"_s), 12);
    EXPECT_EQ(reopened.Integer(u"Lowest"_s), std::numeric_limits<qint32>::min());
    EXPECT_EQ(reopened.Integer(u"Highest"_s), std::numeric_limits<qint32>::max());
    EXPECT_EQ(reopened.TypeOf(u"UserStuff"_s), TSettingType::Text);
    EXPECT_EQ(reopened.Text(u"UserStuff"_s), kText);
    // A text of digits stays a text: a flag read of it still falls back.
    EXPECT_EQ(reopened.TypeOf(u"Digits"_s), TSettingType::Text);
    EXPECT_EQ(reopened.Text(u"Digits"_s), u"0012"_s);
    EXPECT_TRUE(reopened.ReadBoolSetting(u"Digits"_s, true));
    EXPECT_EQ(reopened.TypeOf(u"Empty"_s), TSettingType::Text);
    EXPECT_EQ(reopened.TypeOf(u"MainForm"_s), TSettingType::Binary);
    EXPECT_EQ(Hex(reopened.Binary(u"MainForm"_s)), u"00 01 00 FF 7F 00"_s);
    EXPECT_EQ(reopened.TypeOf(u"NoBytes"_s), TSettingType::Binary);
    EXPECT_TRUE(reopened.Binary(u"NoBytes"_s).isEmpty());
}

TEST(SettingsStore, FileIsWrittenAfterEveryChange)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(u"settings.json"_s);

    TFileSettingsStore store(path);
    EXPECT_FALSE(QFileInfo::exists(path)); // opening alone writes nothing

    store.WriteBoolSetting(u"ShowPrices"_s, true);
    EXPECT_TRUE(TFileSettingsStore(path).ReadBoolSetting(u"ShowPrices"_s, false));

    store.WriteText(u"EMAIL"_s, u"someone@example.org"_s);
    EXPECT_EQ(TFileSettingsStore(path).ReadStringSetting(u"EMAIL"_s, {}), u"someone@example.org"_s);

    store.WriteBoolSetting(u"ShowPrices"_s, false);
    EXPECT_FALSE(TFileSettingsStore(path).ReadBoolSetting(u"ShowPrices"_s, true));

    store.Remove(u"EMAIL"_s);
    const TFileSettingsStore afterRemove(path);
    EXPECT_FALSE(afterRemove.Exists(u"EMAIL"_s));
    EXPECT_TRUE(afterRemove.Exists(u"ShowPrices"_s));

    // A second store on the same file starts from what the first wrote and adds to it.
    TFileSettingsStore second(path);
    second.WriteInteger(u"AutoSave"_s, 1);
    const TFileSettingsStore both(path);
    EXPECT_EQ(both.Count(), 2);
    EXPECT_EQ(both.Integer(u"AutoSave"_s), 1);
}

TEST(SettingsStore, DamagedFileIsLeftAlone)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    for (const QByteArray &damaged : {QByteArray("{\"ShowPrices\": {\"integer\": 1"), QByteArray("[1, 2, 3]"),
                                      QByteArray("\xFF\xFE garbage", 10)}) {
        const QString path = folder.filePath(u"damaged.json"_s);
        WriteFile(path, damaged);

        TFileSettingsStore store(path);
        EXPECT_FALSE(store.LastError().isEmpty()) << damaged.constData();
        EXPECT_EQ(store.Count(), 0);

        // The program carries on with what it writes during the run...
        store.WriteInteger(u"FTPFileCount"_s, 3);
        store.WriteText(u"ArmyDir"_s, u"/armies"_s);
        EXPECT_EQ(store.ReadIntegerSetting(u"FTPFileCount"_s, 0), 3);
        EXPECT_EQ(store.ReadStringSetting(u"ArmyDir"_s, {}), u"/armies"_s);
        EXPECT_FALSE(store.LastError().isEmpty());
        // ...but the user's file is not replaced.
        EXPECT_EQ(FileBytes(path), damaged);
    }
}

TEST(SettingsStore, UnusableLocationsKeepWorkingInMemory)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    // The folder that should hold the file is a plain file: nothing can be written.
    const QString blocker = folder.filePath(u"blocker"_s);
    WriteFile(blocker, "not a folder");
    TFileSettingsStore unwritable(blocker + u"/settings.json"_s);
    EXPECT_TRUE(unwritable.LastError().isEmpty());
    unwritable.WriteInteger(u"FTPFileCount"_s, 5);
    EXPECT_FALSE(unwritable.LastError().isEmpty());
    EXPECT_EQ(unwritable.ReadIntegerSetting(u"FTPFileCount"_s, 0), 5);
    unwritable.WriteBinary(u"ResultMap"_s, kBinary);
    EXPECT_EQ(unwritable.Binary(u"ResultMap"_s), kBinary);
    EXPECT_EQ(FileBytes(blocker), QByteArray("not a folder"));

    // The path names a folder: it cannot be read, and it stays a folder.
    const QString folderPath = folder.filePath(u"a folder"_s);
    ASSERT_TRUE(QDir().mkpath(folderPath));
    TFileSettingsStore unreadable(folderPath);
    EXPECT_FALSE(unreadable.LastError().isEmpty());
    unreadable.WriteText(u"SMTP_Host"_s, u"mail.example.org"_s);
    EXPECT_EQ(unreadable.ReadStringSetting(u"SMTP_Host"_s, {}), u"mail.example.org"_s);
    EXPECT_TRUE(QFileInfo(folderPath).isDir());
}

TEST(SettingsStore, DefaultPathFollowsTheEnvironment)
{
    const bool wasSet = qEnvironmentVariableIsSet("KRASSIST_SETTINGS");
    const QByteArray previous = qgetenv("KRASSIST_SETTINGS");

    qputenv("KRASSIST_SETTINGS", "/somewhere/else/my settings.json");
    EXPECT_EQ(TFileSettingsStore::DefaultPath(), u"/somewhere/else/my settings.json"_s);

    qunsetenv("KRASSIST_SETTINGS");
    const QString standard = TFileSettingsStore::DefaultPath();
    EXPECT_TRUE(standard.endsWith(u"/QRV/KRAssist/CurrentVersion.json"_s)) << standard.toStdString();
    EXPECT_TRUE(QFileInfo(standard).isAbsolute()) << standard.toStdString();

    // An empty variable counts as not set.
    qputenv("KRASSIST_SETTINGS", "");
    EXPECT_EQ(TFileSettingsStore::DefaultPath(), standard);

    if (wasSet)
        qputenv("KRASSIST_SETTINGS", previous);
    else
        qunsetenv("KRASSIST_SETTINGS");
}

TEST(SettingsStore, EntriesOfAnotherVersionSurviveARewrite)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(u"settings.json"_s);
    WriteFile(path, "{\"Future\": {\"float\": 2.5}, \"ShowPrices\": {\"integer\": 1}}");

    TFileSettingsStore store(path);
    EXPECT_TRUE(store.LastError().isEmpty());
    EXPECT_FALSE(store.Exists(u"Future"_s));
    store.WriteText(u"EMAIL"_s, u"a@b.c"_s);
    const QByteArray written = FileBytes(path);
    EXPECT_TRUE(written.contains("\"Future\"")) << written.constData();
    EXPECT_TRUE(written.contains("2.5"));
    EXPECT_EQ(TFileSettingsStore(path).ReadStringSetting(u"EMAIL"_s, {}), u"a@b.c");
}
