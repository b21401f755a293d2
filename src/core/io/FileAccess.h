#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Opens the file for reading and hands it to the reader. A file that cannot be opened
// is a TFileAccessError naming the path.
void ReadFileWith(const QString &path, const std::function<void(QIODevice &)> &reader);

// Writes through a QSaveFile: the writer fills a temporary file beside the target,
// which replaces the old file only when everything was written. If the writer throws
// or the disk fails, the old file stays as it was.
void SaveFileWith(const QString &path, const std::function<void(QIODevice &)> &writer);
