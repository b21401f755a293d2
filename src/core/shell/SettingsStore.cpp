#include "shell/SettingsStore.h"

#include "io/FileAccess.h"
#include "io/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

bool TSettingsStore::ReadBoolSetting(const QString &name, bool defaultValue) const
{
    if (TypeOf(name) != TSettingType::Integer)
        return defaultValue;
    return Integer(name) != 0;
}

QString TSettingsStore::ReadStringSetting(const QString &name, const QString &defaultValue) const
{
    switch (TypeOf(name)) {
    case TSettingType::Text:
        return Text(name);
    case TSettingType::Integer:
        return QString::number(Integer(name));
    default:
        return defaultValue;
    }
}

qint32 TSettingsStore::ReadIntegerSetting(const QString &name, qint32 defaultValue) const
{
    switch (TypeOf(name)) {
    case TSettingType::Integer:
        return Integer(name);
    case TSettingType::Text: {
        bool ok = false;
        const qint32 value = Text(name).trimmed().toInt(&ok, 10);
        return ok ? value : defaultValue;
    }
    default:
        return defaultValue;
    }
}

// ---------------------------------------------------------------------------------

QStringList TMemorySettingsStore::Names() const
{
    QStringList names;
    for (const auto &entry : FValues)
        names << entry.first;
    return names;
}

TSettingType TMemorySettingsStore::TypeOf(const QString &name) const
{
    const auto found = FValues.find(name);
    if (found == FValues.end())
        return TSettingType::None;
    switch (found->second.index()) {
    case 0:
        return TSettingType::Integer;
    case 1:
        return TSettingType::Text;
    default:
        return TSettingType::Binary;
    }
}

qint32 TMemorySettingsStore::Integer(const QString &name) const
{
    const auto found = FValues.find(name);
    if (found == FValues.end())
        return 0;
    const qint32 *value = std::get_if<qint32>(&found->second);
    return value ? *value : 0;
}

QString TMemorySettingsStore::Text(const QString &name) const
{
    const auto found = FValues.find(name);
    if (found == FValues.end())
        return {};
    const QString *value = std::get_if<QString>(&found->second);
    return value ? *value : QString();
}

QByteArray TMemorySettingsStore::Binary(const QString &name) const
{
    const auto found = FValues.find(name);
    if (found == FValues.end())
        return {};
    const QByteArray *value = std::get_if<QByteArray>(&found->second);
    return value ? *value : QByteArray();
}

void TMemorySettingsStore::WriteInteger(const QString &name, qint32 value)
{
    FValues[name] = value;
    Changed();
}

void TMemorySettingsStore::WriteText(const QString &name, const QString &value)
{
    FValues[name] = value;
    Changed();
}

void TMemorySettingsStore::WriteBinary(const QString &name, const QByteArray &value)
{
    FValues[name] = value;
    Changed();
}

void TMemorySettingsStore::Remove(const QString &name)
{
    if (FValues.erase(name) > 0)
        Changed();
}

// ---------------------------------------------------------------------------------

QString TFileSettingsStore::DefaultPath()
{
    const QString overridden = qEnvironmentVariable("KRASSIST_SETTINGS");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + u"/QRV/KRAssist/CurrentVersion.json"_s;
}

TFileSettingsStore::TFileSettingsStore(QString path) : FPath(std::move(path))
{
    Load();
}

void TFileSettingsStore::Load()
{
    QFile file(FPath);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        FLastError = u"Cannot open the settings file \"%1\": %2"_s.arg(FPath, file.errorString());
        FWritable = false;
        return;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject()) {
        // Keep the damaged file for the user to look at rather than overwrite it.
        FLastError = u"The settings file \"%1\" is damaged (%2); settings are not saved this time."_s.arg(
            FPath, error.errorString());
        FWritable = false;
        return;
    }
    const QJsonObject values = document.object();
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QJsonObject entry = it.value().toObject();
        if (entry.contains(u"integer"_s))
            FValues[it.key()] = qint32(entry.value(u"integer"_s).toInteger());
        else if (entry.contains(u"text"_s))
            FValues[it.key()] = entry.value(u"text"_s).toString();
        else if (entry.contains(u"binary"_s))
            FValues[it.key()] = QByteArray::fromBase64(entry.value(u"binary"_s).toString().toLatin1());
        else
            FForeign.insert(it.key(), it.value()); // from another version: kept as it was
    }
}

void TFileSettingsStore::Changed()
{
    if (!FWritable)
        return;
    QJsonObject values = FForeign;
    for (const auto &[name, value] : FValues) {
        QJsonObject entry;
        if (const qint32 *number = std::get_if<qint32>(&value))
            entry.insert(u"integer"_s, *number);
        else if (const QString *text = std::get_if<QString>(&value))
            entry.insert(u"text"_s, *text);
        else
            entry.insert(u"binary"_s, QString::fromLatin1(std::get<QByteArray>(value).toBase64()));
        values.insert(name, entry);
    }
    const QByteArray bytes = QJsonDocument(values).toJson(QJsonDocument::Indented);
    try {
        QDir().mkpath(QFileInfo(FPath).absolutePath());
        SaveFileWith(FPath, [&](QIODevice &device) {
            // The file holds the logins of the mail and FTP accounts (and their passwords
            // where no keyring keeps them): it is the user's alone, from its first byte.
            if (auto *file = qobject_cast<QFileDevice *>(&device))
                file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            if (device.write(bytes) != bytes.size())
                throw TFileAccessError(device.errorString());
        });
        FLastError.clear();
    } catch (const TKrException &failure) {
        FLastError = failure.Message();
    }
}
