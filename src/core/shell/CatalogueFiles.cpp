#include "shell/CatalogueFiles.h"

#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/FileAccess.h"
#include "io/FileErrors.h"
#include "io/TaggedStream.h"
#include "shell/ShellServices.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

bool ReadRaceData(TCatalogue &catalogue, const QString &path, TShellServices &shell,
                  TRaceLoadListener *listener)
{
    if (!QFileInfo::exists(path))
        return true;
    try {
        shell.ShowStatus(u"Reading race data..."_s);
        ReadFileWith(path, [&](QIODevice &file) {
            TTaggedReader reader(file);
            ReadRaceStream(reader, catalogue, listener);
        });
        shell.ShowStatus(u"Race data read from disk."_s);
        return true;
    } catch (const TKrException &failure) {
        catalogue.RacesIncomplete = true;
        shell.ReportError(failure, u"reading race file"_s);
        return false;
    }
}

namespace {

// "<path>.damaged", or "<path>.damaged2", "<path>.damaged3", ... when that is taken.
QString FreeKeptName(const QString &path)
{
    QString kept = path + u".damaged"_s;
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = path + u".damaged"_s + QString::number(n);
    return kept;
}

} // namespace

bool WriteRaceData(TCatalogue &catalogue, const QString &path, TShellServices &shell)
{
    try {
        shell.ShowStatus(u"Writing race data..."_s);
        QString kept;
        if (catalogue.RacesIncomplete && QFileInfo::exists(path)) {
            // The races after the damage are only in that file; they must not go with it,
            // nor with a copy kept from an earlier damage.
            kept = FreeKeptName(path);
            if (!QFile::copy(path, kept))
                throw TFileAccessError(u"Cannot keep the damaged race file as \"%1\"."_s.arg(kept));
            shell.ShowStatus(u"Damaged race file kept as "_s + kept + u'.');
        }
        SaveFileWith(path, [&](QIODevice &file) {
            TTaggedWriter writer(file);
            WriteRaceStream(writer, catalogue);
            writer.Flush();
        });
        shell.ShowStatus(u"Race data written to disk."_s);
        catalogue.RacesModified = false;
        catalogue.RacesIncomplete = false;
        if (!kept.isEmpty()) {
            shell.Inform(u"The race database could not be read whole when the program started. "
                         u"Before the races were saved, the damaged file was kept as "_s +
                         kept + u"; the races after the damage are still in it."_s);
        }
        return true;
    } catch (const TKrException &failure) {
        shell.ReportError(failure, u"writing race file"_s);
        return false;
    }
}

bool ReadIconData(TIconTable &table, const QString &path, TShellServices &shell, TIconLoadListener *listener)
{
    try {
        shell.ShowStatus(u"Loading special icons..."_s);
        if (!QFileInfo::exists(path))
            return true;
        ReadFileWith(path, [&](QIODevice &file) {
            TTaggedReader reader(file);
            ReadIconStream(reader, table, listener);
        });
        shell.ShowStatus(u"Icons loaded into viewer."_s);
        return true;
    } catch (const TKrException &failure) {
        shell.ReportError(failure, u"initializing icon viewer"_s);
        return false;
    }
}

bool WriteIconData(const TIconTable &table, const QString &path, TShellServices &shell)
{
    try {
        shell.ShowStatus(u"Saving icons to disk..."_s);
        SaveFileWith(path, [&](QIODevice &file) {
            TTaggedWriter writer(file);
            WriteIconStream(writer, table);
            writer.Flush();
        });
        shell.ShowStatus(u"Icons saved to disk."_s);
        return true;
    } catch (const TKrException &failure) {
        shell.ReportError(failure, u"writing icon file"_s);
        return false;
    }
}

bool WriteSymbolsAndRaces(TCatalogue &catalogue, const QString &iconPath, const QString &racePath,
                          TShellServices &shell)
{
    const TIconTable oldTable = catalogue.Icons();
    std::vector<TCatalogue::TFaceChange> changes;
    const int renumbered = catalogue.CompactSymbols(&changes);
    if (renumbered == 0) {
        if (WriteIconData(catalogue.Icons(), iconPath, shell))
            return true;
        catalogue.Icons() = oldTable;
        return false;
    }

    // Either both files take the new numbers or memory and disk keep the old ones.
    const bool wasModified = catalogue.RacesModified;
    // A damaged race file put back is still damaged: the next save must keep it again.
    const bool wasIncomplete = catalogue.RacesIncomplete;
    auto undo = [&] {
        catalogue.Icons() = oldTable;
        for (const TCatalogue::TFaceChange &change : changes)
            change.Die->SetFace(change.Face, change.OldSymbol, change.Die->FaceSymbolCount(change.Face));
        catalogue.RacesModified = wasModified;
        catalogue.RacesIncomplete = wasIncomplete;
    };
    QByteArray oldRaces;
    const bool hadRaces = QFileInfo::exists(racePath);
    try {
        if (hadRaces)
            ReadFileWith(racePath, [&](QIODevice &file) { oldRaces = file.readAll(); });
    } catch (const TKrException &failure) {
        undo();
        shell.ReportError(failure, u"writing icon file"_s);
        return false;
    }
    if (!WriteRaceData(catalogue, racePath, shell)) {
        undo();
        return false;
    }
    if (WriteIconData(catalogue.Icons(), iconPath, shell))
        return true;
    undo();
    try {
        if (hadRaces)
            SaveFileWith(racePath, [&](QIODevice &file) { file.write(oldRaces); });
        else
            QFile::remove(racePath);
    } catch (const TKrException &failure) {
        // The old race file could not be put back: the one on disk has the new
        // numbers, so the races must be written again.
        catalogue.RacesModified = true;
        shell.ReportError(failure, u"writing race file"_s);
    }
    return false;
}
