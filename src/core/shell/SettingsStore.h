#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <map>
#include <variant>

// The kinds of value the settings store keeps apart.
enum class TSettingType { None, Integer, Text, Binary };

// The per-user settings store: named values that keep their type (integer, text or
// binary block). The typed read operations below apply the program's rules for values
// that are missing or of another type; every caller reads through them.
class TSettingsStore
{
public:
    virtual ~TSettingsStore() = default;

    virtual TSettingType TypeOf(const QString &name) const = 0;
    virtual qint32 Integer(const QString &name) const = 0;
    virtual QString Text(const QString &name) const = 0;
    virtual QByteArray Binary(const QString &name) const = 0;
    virtual void WriteInteger(const QString &name, qint32 value) = 0;
    virtual void WriteText(const QString &name, const QString &value) = 0;
    virtual void WriteBinary(const QString &name, const QByteArray &value) = 0;
    virtual void Remove(const QString &name) = 0;
    // False when what is written now would not be kept (a damaged settings file).
    virtual bool Writable() const { return true; }
    // Why the last write of the values did not reach their file; empty when it did.
    virtual QString LastError() const { return {}; }

    bool Exists(const QString &name) const { return TypeOf(name) != TSettingType::None; }

    // True or false when the value is an integer (any non-zero integer is true), else
    // the default.
    bool ReadBoolSetting(const QString &name, bool defaultValue) const;
    // The text, or the decimal text of an integer, else the default.
    QString ReadStringSetting(const QString &name, const QString &defaultValue) const;
    // The integer, or a text converted to one (the default when it does not convert),
    // else the default.
    qint32 ReadIntegerSetting(const QString &name, qint32 defaultValue) const;

    void WriteBoolSetting(const QString &name, bool value) { WriteInteger(name, value ? 1 : 0); }
    void WriteStringSetting(const QString &name, const QString &value) { WriteText(name, value); }
    void WriteIntegerSetting(const QString &name, qint32 value) { WriteInteger(name, value); }
};

// Keeps the values in memory only: for tests, and for a run whose settings file
// cannot be used.
class TMemorySettingsStore : public TSettingsStore
{
public:
    TSettingType TypeOf(const QString &name) const override;
    qint32 Integer(const QString &name) const override;
    QString Text(const QString &name) const override;
    QByteArray Binary(const QString &name) const override;
    void WriteInteger(const QString &name, qint32 value) override;
    void WriteText(const QString &name, const QString &value) override;
    void WriteBinary(const QString &name, const QByteArray &value) override;
    void Remove(const QString &name) override;

    int Count() const { return int(FValues.size()); }
    // Every value's name, in name order.
    QStringList Names() const;

protected:
    // Called after every change; the file store writes itself out here.
    virtual void Changed() {}

    using TValue = std::variant<qint32, QString, QByteArray>;
    std::map<QString, TValue> FValues;
};

// The persistent store: one JSON file that records each value's type with it. It is
// read once when opened and written whole (through a temporary file) after every
// change, so a crash never leaves half a file behind.
class TFileSettingsStore final : public TMemorySettingsStore
{
public:
    // The KRASSIST_SETTINGS environment variable names the file; without it, the
    // user's configuration folder holds it.
    static QString DefaultPath();

    explicit TFileSettingsStore(QString path);

    const QString &Path() const { return FPath; }
    // Empty, or why the file could not be read or written (the store then carries on
    // in memory, and a damaged file is left as it was).
    QString LastError() const override { return FLastError; }
    bool Writable() const override { return FWritable; }

protected:
    void Changed() override;

private:
    void Load();

    QString FPath;
    QString FLastError;
    bool FWritable = true;
    // Entries this version does not understand, written back untouched.
    QJsonObject FForeign;
};
