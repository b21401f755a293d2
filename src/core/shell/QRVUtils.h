#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Small routines every window shares.

// The name up to and including its last "." followed by the extension; a name without
// a "." (in its last path component) gets one.
QString ForceExtension(const QString &name, const QString &extension);

// n in decimal, blanks in front up to the width.
QString PadNumber(qint64 n, int width);

// Adds "   n text" (the count padded to four places) to the lines, unless n is 0: the
// lines of the breakdown reports.
void AddCountedLine(QStringList &lines, qint64 n, const QString &text);

// Asks for a whole number from low to high through an input box until one is given or
// the user cancels. The input box is called with the prompt and the text to show; the
// first prompt is the caller's, later ones say what was wrong with the last answer.
using TInputBox = std::function<std::optional<QString>(const QString &prompt, const QString &text)>;
std::optional<qint32> AskBoundedNumber(const TInputBox &inputBox, const QString &prompt, qint32 low, qint32 high,
                                       const QString &initial);
