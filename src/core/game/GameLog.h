#pragma once

// The texts a game gives out besides its file: the event log as a text file and on the
// clipboard, and the status text that describes the whole board.

#include <QString>
#include <QStringList>

class TGame;

// The lines each followed by CR LF, as the clipboard gets them.
QString JoinLines(const QStringList &lines);

// Writes each line followed by CR LF to the end of the file, which is made when it is
// not there. A log is added to, never replaced: what earlier exports wrote stays. A
// failure is a TFileAccessError naming the file.
void AppendLogFile(const QString &path, const QStringList &lines);

// "Transmitting game status during round <n>.", then for each place with content (its
// dragons, its armies with health) a header, the dragons and each army with its dice.
QStringList GameStatusLines(const TGame &game);
