#include "TestSupport.h"

#include "net/PasswordStore.h"
#include "shell/SettingsStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

constexpr auto kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QFileDevice::Permissions Permissions(const QString &path)
{
    // The user, group and other bits; Qt repeats the owner's as "ReadUser" and so on.
    return QFile::permissions(path) & (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                       QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                       QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
}

} // namespace

TEST(PasswordStore, TheSettingsFileKeepsPasswordsForItsOwnerAlone)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"CurrentVersion.json"_s);
    // A settings file from before, readable by everyone.
    WriteFile(path, "{}");
    QFile::setPermissions(path, kOwnerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    {
        TFileSettingsStore settings(path);
        TSettingsPasswordStore passwords(settings);
        passwords.Write(u"FTP"_s, u"dice-pass"_s);
        passwords.Write(u"SMTP"_s, u"mail-pass"_s);
        EXPECT_EQ(Permissions(path), kOwnerOnly);
    }
    {
        TFileSettingsStore settings(path);
        TSettingsPasswordStore passwords(settings);
        EXPECT_EQ(passwords.Read(u"FTP"_s), u"dice-pass"_s);
        EXPECT_EQ(settings.Text(u"SMTP_Password"_s), u"mail-pass"_s);
        passwords.Write(u"FTP"_s, QString());
        EXPECT_FALSE(settings.Exists(u"FTP_Password"_s));
        EXPECT_EQ(passwords.Read(u"FTP"_s), QString());
    }
    // A new settings file is the owner's from the start.
    const QString fresh = folder.filePath(u"new/CurrentVersion.json"_s);
    TFileSettingsStore settings(fresh);
    settings.WriteStringSetting(u"EMAIL"_s, u"ann@example.org"_s);
    EXPECT_EQ(Permissions(fresh), kOwnerOnly);
}

TEST(PasswordStore, WithoutASecretServiceTheSettingsTakeOverAtOnce)
{
    // No session bus to find a keyring on, as on a server or in CI.
    const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DISPLAY");

    TMemorySettingsStore settings;
    settings.WriteStringSetting(u"SMTP_Password"_s, u"kept-before"_s);
    TKeyringPasswordStore passwords(settings, 3000);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(passwords.Read(u"SMTP"_s), u"kept-before"_s);
    passwords.Write(u"FTP"_s, u"dice-pass"_s);
    EXPECT_LT(clock.elapsed(), 3000) << "the missing keyring must not be waited for twice";
    EXPECT_FALSE(passwords.KeyringAvailable());
    EXPECT_EQ(settings.Text(u"FTP_Password"_s), u"dice-pass"_s);
    EXPECT_EQ(passwords.Read(u"FTP"_s), u"dice-pass"_s);
    EXPECT_EQ(passwords.Where(), u"the settings file, which only you can read"_s);
    passwords.Write(u"FTP"_s, QString());
    EXPECT_FALSE(settings.Exists(u"FTP_Password"_s));

    if (!bus.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
}
