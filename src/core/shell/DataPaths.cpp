#include "shell/DataPaths.h"

#include <QDir>

TDataPaths TDataPaths::Resolve(const QString &option, const QString &applicationDir)
{
    if (!option.isEmpty())
        return TDataPaths(option);
    const QString environment = qEnvironmentVariable("KRASSIST_DATA_DIR");
    if (!environment.isEmpty())
        return TDataPaths(environment);
    return TDataPaths(applicationDir);
}

QString TDataPaths::DataFilePath(const QString &name) const
{
    if (FDirectory.isEmpty())
        return name;
    return QDir(FDirectory).filePath(name);
}
