#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Transfers run on a worker thread while this thread keeps its event loop going, as
// in the program: an application object makes that happen here too.
int main(int argc, char **argv)
{
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
