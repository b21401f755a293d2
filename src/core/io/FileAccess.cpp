#include "io/FileAccess.h"

#include "io/FileErrors.h"

#include <QFile>
#include <QFileInfo>
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
    // The new file takes the old one's place by a rename, which would put a plain file
    // where a device or a pipe was.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile() && !existing.isDir())
        throw TFileAccessError(u"Cannot write \"%1\": it is not a regular file."_s.arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw TFileAccessError(u"Cannot write \"%1\": %2"_s.arg(path, file.errorString()));
    writer(file); // an exception here drops the temporary file with the QSaveFile
    if (!file.commit())
        throw TFileAccessError(u"Cannot write \"%1\": %2"_s.arg(path, file.errorString()));
}
