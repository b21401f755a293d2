#pragma once

// Runs krtool in a temporary folder, as a user would from the command line, and keeps
// what it printed.

#include "KrTool.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/TaggedStream.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <utility>

struct TRun
{
    int Status = 0;
    QString Out;
    QString Err;
};

class TToolTest : public ::testing::Test
{
protected:
    TRun Run(const QStringList &args)
    {
        TRun run;
        QTextStream out(&run.Out);
        QTextStream err(&run.Err);
        run.Status = RunKrTool(args, out, err, Folder.path());
        out.flush();
        err.flush();
        return run;
    }

    QString Path(const QString &name) const { return Folder.filePath(name); }

    // The folder's KRRACES.DAT read into the catalogue, with its terrains, as the program
    // has it once started.
    void ReadFolderCatalogue(TCatalogue &catalogue) const
    {
        ReadFromBytes(FileBytes(Path(QStringLiteral("KRRACES.DAT"))),
                      [&](TTaggedReader &reader) { ReadRaceStream(reader, catalogue); });
        catalogue.MakeTerrains();
    }

    // The small test catalogue as KRICONS.DAT and KRRACES.DAT of the folder.
    void BuildMiniCatalogue()
    {
        ASSERT_EQ(Run({QStringLiteral("build"), QStringLiteral("--kind"), QStringLiteral("icons"),
                       TestDataPath(QStringLiteral("tool/mini-icons.json")), Path(QStringLiteral("KRICONS.DAT"))})
                      .Status,
                  0);
        ASSERT_EQ(Run({QStringLiteral("build"), QStringLiteral("--kind"), QStringLiteral("races"),
                       TestDataPath(QStringLiteral("tool/mini-races.json")), Path(QStringLiteral("KRRACES.DAT"))})
                      .Status,
                  0);
    }

    // Each call must fail with status 1, print nothing on standard output and a single
    // line on standard error that begins "krtool: " and the message.
    void ExpectFailures(const QList<std::pair<QStringList, QString>> &cases)
    {
        for (const auto &[args, message] : cases) {
            const TRun run = Run(args);
            EXPECT_EQ(run.Status, 1) << args.join(u' ').toStdString();
            EXPECT_TRUE(run.Out.isEmpty()) << args.join(u' ').toStdString();
            EXPECT_TRUE(run.Err.startsWith(QStringLiteral("krtool: ") + message)) << run.Err.toStdString();
            EXPECT_EQ(run.Err.count(u'\n'), 1) << run.Err.toStdString();
        }
    }

    QTemporaryDir Folder;
};
