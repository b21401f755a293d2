#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Window tests run real widgets without a display. The platform must be chosen before
// the application object exists; the build lists the tests by running this program, so
// it must work without a display too.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Keep Qt's runtime folder and every settings file of the tests private.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("KRASSIST_SETTINGS", QFile::encodeName(QDir(runtime.path()).filePath(QStringLiteral("no-settings.json"))));
    qputenv("KRASSIST_TRACE", QFile::encodeName(QDir(runtime.path()).filePath(QStringLiteral("KRDebug.log"))));
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
