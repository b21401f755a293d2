#pragma once

// The text of the army window's "Export Group": the armies of a group for a message or
// an e-mail.

#include <QString>
#include <QStringList>

#include <vector>

class TArmy;

// The notes in lines of at most 65 characters: a line ends before the last blank that
// keeps it that short; a stretch without a blank that would fit is cut at 66
// characters; blanks at the start of a continued line are skipped. Line breaks in the
// notes start a new line of their own. Empty notes give one empty line.
QStringList WrapExportNotes(const QString &notes);

// The group name, then the armies of the open ones (in window order) whose group name
// equals it exactly, home armies first and summoning pools last: each with its title,
// notes, dice (a run of the same die on one counted line) and terrains.
QStringList GroupExportLines(const QString &groupName, const std::vector<const TArmy *> &openArmies);
// The lines, each ending with CR LF.
QString GroupExportText(const QString &groupName, const std::vector<const TArmy *> &openArmies);
// Writes the text as UTF-8; the old file survives a failure.
void ExportGroup(const QString &path, const QString &groupName, const std::vector<const TArmy *> &openArmies);
