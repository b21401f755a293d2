#include "io/FileAccess.h"

#include "io/FileErrors.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

void ReadFileWith(const QString &path, const std::function<void(QIODevice &)> &reader)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TFileAccessError(u"Cannot open \"%1\": %2"_s.arg(path, file.errorString()));
    reader(file);
}

void SaveFileWith(const QString &path, const std::function<void(QIODevice &)> &writer)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw TFileAccessError(u"Cannot write \"%1\": %2"_s.arg(path, file.errorString()));
    writer(file); // an exception here drops the temporary file with the QSaveFile
    if (!file.commit())
        throw TFileAccessError(u"Cannot write \"%1\": %2"_s.arg(path, file.errorString()));
}
