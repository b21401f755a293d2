#pragma once

#include <QStringList>

class QTextStream;

// krtool's whole behaviour, callable in-process so that tests need no child process.
// args excludes the program name. Answers the exit status: 0 success, 1 a file that
// cannot be read or written, 2 bad usage.
int RunKrTool(const QStringList &args, QTextStream &out, QTextStream &err, const QString &applicationDir);
