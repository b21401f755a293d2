#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct TProgramRun
{
    int ExitCode = -1;
    QString Out;
    QString Errors;
};

TProgramRun RunProgram(const QString &program, const QStringList &args, const QProcessEnvironment &environment,
                       const QString &folder)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, args);
    TProgramRun run;
    if (!process.waitForFinished(120'000)) {
        process.kill();
        process.waitForFinished();
        run.Errors = u"did not finish"_s;
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.Errors += QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// The programs of this build installed into a prefix of the test's own, as a user's
// "cmake --install" does; they then run with a home folder of the test's own too.
class InstallTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Folder = new QTemporaryDir;
        Installed = RunProgram(QStringLiteral(KR_CMAKE_COMMAND),
                               {u"--install"_s, QStringLiteral(KR_BUILD_DIR), u"--prefix"_s, Prefix()},
                               QProcessEnvironment::systemEnvironment(), Folder->path());
    }
    static void TearDownTestSuite()
    {
        delete Folder;
        Folder = nullptr;
    }

    static QString Prefix() { return Folder->filePath(u"prefix"_s); }
    static QString Home() { return Folder->filePath(u"home"_s); }
    static QString InPrefix(const QString &name) { return Prefix() + u'/' + name; }

    static QProcessEnvironment Environment()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"KRASSIST_DATA_DIR"_s);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"XDG_DATA_HOME"_s, Home());
        environment.insert(u"XDG_RUNTIME_DIR"_s, Folder->path());
        environment.insert(u"KRASSIST_SETTINGS"_s, Folder->filePath(u"settings.json"_s));
        return environment;
    }

    static inline QTemporaryDir *Folder = nullptr;
    static inline TProgramRun Installed;
};

} // namespace

TEST_F(InstallTest, PutsTheProgramsTheCatalogueAndTheDesktopFilesInThePrefix)
{
    ASSERT_EQ(Installed.ExitCode, 0) << Installed.Out.toStdString() << Installed.Errors.toStdString();
    for (const QString &program : {u"bin/krassist"_s, u"bin/krtool"_s})
        EXPECT_TRUE(QFileInfo(InPrefix(program)).isExecutable()) << program.toStdString();
    const QString built = QStringLiteral(KR_BUILT_DATA_DIR);
    for (const QString &file : {u"KRRACES.DAT"_s, u"KRICONS.DAT"_s}) {
        const QByteArray bytes = FileBytes(InPrefix(u"share/krassist/"_s + file));
        EXPECT_FALSE(bytes.isEmpty()) << file.toStdString();
        EXPECT_EQ(bytes, FileBytes(built + u'/' + file)) << file.toStdString();
    }
    const QString desktop = InPrefix(u"share/applications/org.tarrowind.krassist.desktop"_s);
    const QString icon = InPrefix(u"share/icons/hicolor/scalable/apps/org.tarrowind.krassist.svg"_s);
    const QString metainfo = InPrefix(u"share/metainfo/org.tarrowind.krassist.metainfo.xml"_s);
    EXPECT_TRUE(FileBytes(desktop).contains("\nIcon=org.tarrowind.krassist\n"));
    EXPECT_TRUE(FileBytes(desktop).contains("\nExec=krassist %F\n"));
    EXPECT_TRUE(FileBytes(icon).contains("<svg"));
    EXPECT_TRUE(FileBytes(metainfo).contains("<launchable type=\"desktop-id\">org.tarrowind.krassist.desktop<"));

    // The desktop's own checkers, where the machine has them (./test.sh installs both).
    const QString appstream = QStandardPaths::findExecutable(u"appstreamcli"_s);
    if (!appstream.isEmpty()) {
        const TProgramRun valid =
            RunProgram(appstream, {u"validate"_s, u"--no-net"_s, metainfo}, Environment(), Folder->path());
        EXPECT_EQ(valid.ExitCode, 0) << valid.Out.toStdString() << valid.Errors.toStdString();
    }
    const QString desktopCheck = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    if (!desktopCheck.isEmpty()) {
        const TProgramRun valid = RunProgram(desktopCheck, {desktop}, Environment(), Folder->path());
        EXPECT_EQ(valid.ExitCode, 0) << valid.Out.toStdString();
        EXPECT_TRUE(valid.Out.isEmpty()) << valid.Out.toStdString(); // no hints either
    }
}

TEST_F(InstallTest, TheInstalledProgramsReadTheInstalledCatalogue)
{
    ASSERT_EQ(Installed.ExitCode, 0) << Installed.Errors.toStdString();
    const TProgramRun picture =
        RunProgram(InPrefix(u"bin/krassist"_s), {u"--screenshot"_s, u"picture.png"_s}, Environment(), Folder->path());
    EXPECT_EQ(picture.ExitCode, 0) << picture.Errors.toStdString();
    EXPECT_TRUE(picture.Out.contains(u"Status: Catalogue read from the installed copy in "_s +
                                     InPrefix(u"share/krassist"_s) + u"; changes are saved in "_s + Home() +
                                     u"/krassist.\n"_s))
        << picture.Out.toStdString();
    EXPECT_TRUE(FileBytes(Folder->filePath(u"picture.png"_s)).startsWith("\x89PNG"));
    // Reading changes nothing in the user's folder.
    EXPECT_FALSE(QFileInfo::exists(Home() + u"/krassist/KRRACES.DAT"_s));

    // krtool finds the same catalogue without being told.
    const TProgramRun stats = RunProgram(InPrefix(u"bin/krtool"_s), {u"stats"_s}, Environment(), Folder->path());
    EXPECT_EQ(stats.ExitCode, 0) << stats.Errors.toStdString();
    EXPECT_GT(stats.Out.count(u'\n'), 10);
}
