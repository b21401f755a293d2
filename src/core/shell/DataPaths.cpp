#include "shell/DataPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

#ifndef KR_INSTALLED_DATA_DIR
#error "The build names the installed catalogue's folder, seen from the programs' folder."
#endif

namespace {

QString InFolder(const QString &directory, const QString &name)
{
    return directory.isEmpty() ? name : QDir(directory).filePath(name);
}

} // namespace

TDataPaths TDataPaths::Resolve(const QString &option, const QString &applicationDir)
{
    if (!option.isEmpty())
        return TDataPaths(option);
    const QString environment = qEnvironmentVariable("KRASSIST_DATA_DIR");
    if (!environment.isEmpty())
        return TDataPaths(environment);
    const QString user = UserDataDirectory();
    if (!user.isEmpty()) {
        const QString installed =
            QDir::cleanPath(QDir(applicationDir).absoluteFilePath(QStringLiteral(KR_INSTALLED_DATA_DIR)));
        if (QFileInfo::exists(InFolder(installed, QString::fromUtf16(kRaceFileName))))
            return TDataPaths(installed, user);
        if (!QFileInfo(applicationDir).isWritable())
            return TDataPaths(applicationDir, user);
    }
    return TDataPaths(applicationDir);
}

QString TDataPaths::UserDataDirectory()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : QDir(data).filePath(u"krassist"_s);
}

QString TDataPaths::DataFilePath(const QString &name) const
{
    if (Installed()) {
        const QString own = InFolder(FUserDirectory, name);
        if (QFileInfo::exists(own))
            return own;
    }
    return InFolder(FDirectory, name);
}

QString TDataPaths::SavePath(const QString &name) const
{
    if (!Installed())
        return InFolder(FDirectory, name);
    QDir().mkpath(FUserDirectory);
    return InFolder(FUserDirectory, name);
}

QString TDataPaths::SourceText() const
{
    if (!Installed())
        return QString();
    QStringList folders;
    for (const char16_t *name : {kRaceFileName, kIconFileName}) {
        const QString path = DataFilePath(QString::fromUtf16(name));
        folders << (QFileInfo::exists(path) ? QFileInfo(path).path() : QString());
    }
    const QString &races = folders[0];
    const QString &icons = folders[1];
    if (!races.isEmpty() && !icons.isEmpty() && races != icons)
        return u"Race database read from "_s + races + u", face symbols from "_s + icons + u'.';
    const QString from = races.isEmpty() ? icons : races;
    if (from.isEmpty())
        return QString();
    if (from == QFileInfo(InFolder(FUserDirectory, QString::fromUtf16(kRaceFileName))).path())
        return u"Catalogue read from your data folder "_s + from + u'.';
    return u"Catalogue read from the installed copy in "_s + from + u"; changes are saved in "_s + FUserDirectory +
           u'.';
}
