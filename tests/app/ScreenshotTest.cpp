#include "TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct TRun
{
    bool Finished = false;
    int ExitCode = -1;
    QString Errors;
};

// krassist --screenshot in a folder of its own, with settings of its own; it must end by
// itself well inside the limit, whatever the documents are.
TRun Screenshot(const QTemporaryDir &folder, const QStringList &documents)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"KRASSIST_SETTINGS"_s, folder.filePath(u"settings.json"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, folder.path());
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder.path());
    program.start(QStringLiteral(KR_KRASSIST_PATH), QStringList{u"--screenshot"_s, u"picture.png"_s} + documents);
    TRun run;
    run.Finished = program.waitForFinished(90'000);
    if (!run.Finished) {
        program.kill();
        program.waitForFinished();
    }
    run.ExitCode = program.exitCode();
    run.Errors = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

} // namespace

TEST(Screenshot, DocumentsThatCannotBeOpenedEndTheRunWithStatusOne)
{
    QTemporaryDir folder;
    const QString damaged = folder.filePath(u"Damaged.kra"_s);
    WriteFile(damaged, QByteArray::fromHex("0204060a"));
    const QString missing = folder.filePath(u"Missing.kra"_s);
    const QString game = folder.filePath(u"Game.kgm"_s);
    WriteFile(game, QByteArray(16, '\0'));
    const TRun run = Screenshot(folder, {missing, damaged, game});
    ASSERT_TRUE(run.Finished) << "krassist --screenshot waited for a person";
    EXPECT_EQ(run.ExitCode, 1) << run.Errors.toStdString();
    // Each failure is told on standard error, and the picture is still taken.
    EXPECT_EQ(run.Errors.count(u"Warning (Tarrowind Assistant): "_s), 3) << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.contains(u"Missing.kra"_s)) << run.Errors.toStdString();
    EXPECT_TRUE(FileBytes(folder.filePath(u"picture.png"_s)).startsWith("\x89PNG"));
}

TEST(Screenshot, ASoundStartEndsWithStatusZero)
{
    QTemporaryDir folder;
    const TRun run = Screenshot(folder, {});
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    EXPECT_TRUE(FileBytes(folder.filePath(u"picture.png"_s)).startsWith("\x89PNG"));
}
