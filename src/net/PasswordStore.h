#pragma once

#include <QString>

#include <optional>

class TSettingsStore;

// Where the passwords of the server accounts are kept. A password never goes to a log,
// a status line, an error message or the debug trace; only these stores hold it.
class TPasswordStore
{
public:
    virtual ~TPasswordStore() = default;
    // The password kept under the key ("FTP", "SMTP"), empty when there is none.
    virtual QString Read(const QString &key) = 0;
    // Keeps the password; an empty one removes it.
    virtual void Write(const QString &key, const QString &password) = 0;
    // Where the passwords are kept, for the user: "the system keyring" and so on.
    virtual QString Where() const = 0;
};

// The passwords as settings (key + "_Password"), for a machine without a keyring. The
// settings file is readable by its owner alone.
class TSettingsPasswordStore final : public TPasswordStore
{
public:
    explicit TSettingsPasswordStore(TSettingsStore &settings) : FSettings(settings) {}
    QString Read(const QString &key) override;
    void Write(const QString &key, const QString &password) override;
    QString Where() const override;

    static QString SettingName(const QString &key) { return key + QStringLiteral("_Password"); }

private:
    TSettingsStore &FSettings;
};

// The system keyring (through QtKeychain), and the settings where there is none: a
// keyring that cannot be reached (no secret service running, as on a server or in a
// test run) is noted once and the settings take over for the rest of the run. A
// password kept in the keyring is removed from the settings, so no stale plain copy
// stays behind.
class TKeyringPasswordStore final : public TPasswordStore
{
public:
    // Waits at most waitMilliseconds for the keyring to answer.
    explicit TKeyringPasswordStore(TSettingsStore &settings, int waitMilliseconds = 5000);
    QString Read(const QString &key) override;
    void Write(const QString &key, const QString &password) override;
    QString Where() const override;

    // False once the keyring failed to answer in this run.
    bool KeyringAvailable() const { return FAvailable; }

    static constexpr char16_t kService[] = u"Tarrowind Assistant";

private:
    // The keyring's answer: the password, "" when it has none, nothing when it failed.
    std::optional<QString> KeyringRead(const QString &key);
    bool KeyringWrite(const QString &key, const QString &password);

    TSettingsPasswordStore FFallback;
    int FWait;
    bool FAvailable = true;
};
