#pragma once

#include <QString>

class TCatalogue;
class TIconLoadListener;
class TIconTable;
class TRaceLoadListener;
class TShellServices;

// The catalogue's two files as the program reads and writes them: with their status
// lines, and with failures reported through the shell rather than thrown.

// Reads the race database into the catalogue. A missing file leaves the catalogue as it
// is without a word. Answers false when reading failed (the races read before the
// damage stay loaded).
bool ReadRaceData(TCatalogue &catalogue, const QString &path, TShellServices &shell,
                  TRaceLoadListener *listener = nullptr);

// Writes every race in list order and clears RacesModified. The old file survives a
// failed write, and RacesModified stays set.
bool WriteRaceData(TCatalogue &catalogue, const QString &path, TShellServices &shell);

// Adds the special symbols of the icon file to the table; a missing file adds none.
bool ReadIconData(TIconTable &table, const QString &path, TShellServices &shell,
                  TIconLoadListener *listener = nullptr);

// Writes every special symbol that has a name.
bool WriteIconData(const TIconTable &table, const QString &path, TShellServices &shell);

// Writes the icon file after symbols were deleted: the deleted symbols leave the table,
// the faces showing later symbols are renumbered, and when any face changed the race
// database is written in the same step, so that the two files never disagree. When
// either write fails, the table and the faces in memory go back to their old numbers
// and the old race database is put back.
bool WriteSymbolsAndRaces(TCatalogue &catalogue, const QString &iconPath, const QString &racePath,
                          TShellServices &shell);
