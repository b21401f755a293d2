#include "KrTool.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    int status = RunKrTool(application.arguments().mid(1), out, err, QCoreApplication::applicationDirPath());
    out.flush();
    // A dump cut short by a full disk must not pass for a whole one.
    if ((out.status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout)) && status == 0) {
        err << "krtool: cannot write to standard output\n";
        status = 1;
    }
    err.flush();
    return status;
}
