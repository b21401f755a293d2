#include "KrTool.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunKrTool(application.arguments().mid(1), out, err, QCoreApplication::applicationDirPath());
    out.flush();
    err.flush();
    return status;
}
