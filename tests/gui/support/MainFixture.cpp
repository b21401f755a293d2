#include "MainFixture.h"

#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/TaggedStream.h"

using namespace Qt::StringLiterals;

TMainFixture::TMainFixture()
{
    RaceFile = Data.filePath(u"KRRACES.DAT"_s);
    IconFile = Data.filePath(u"KRICONS.DAT"_s);
    // Two races with a die each, unless a test writes its own.
    TCatalogue catalogue;
    for (const QString &name : {u"Stonekin"_s, u"Reedfolk"_s}) {
        auto race = catalogue.CreateRace();
        race->Name = name;
        race->AddDie(std::make_unique<TDie>(*race));
        catalogue.InsertRace(std::move(race));
    }
    WriteCatalogue(catalogue);
}

TMainFixture::~TMainFixture()
{
    Main.reset();
}

void TMainFixture::WriteCatalogue(const TCatalogue &catalogue)
{
    WriteFile(RaceFile, WriteToBytes([&](TTaggedWriter &w) { WriteRaceStream(w, catalogue); }));
    if (catalogue.Icons().Count() > BasicIcon::Count)
        WriteFile(IconFile, WriteToBytes([&](TTaggedWriter &w) { WriteIconStream(w, catalogue.Icons()); }));
}

TfrmMain &TMainFixture::Start(const QStringList &documents, bool show)
{
    Main.reset();
    Statuses.clear();
    Main = std::make_unique<TfrmMain>(Settings, Prompts, TDataPaths(Data.path()), documents,
                                      [this](const QString &text) { Statuses << text; });
    Main->CreateWindows();
    if (show)
        Main->show();
    return *Main;
}

QAction &TMainFixture::Item(const QString &name)
{
    auto *item = Main->findChild<QAction *>(name);
    EXPECT_NE(item, nullptr) << name.toStdString();
    static QAction missing;
    return item ? *item : missing;
}
