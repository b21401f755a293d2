#pragma once

#include "KrException.h"
#include "dice/DiceData.h"
#include "io/MemoryStream.h"
#include "shell/ShellServices.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

// Lets gtest print QStrings in failure messages.
void PrintTo(const QString &text, std::ostream *out);

// A whole file's bytes (empty when it cannot be read), and a file written whole.
QByteArray FileBytes(const QString &path);
void WriteFile(const QString &path, const QByteArray &bytes);

// "02 00 01 00" for the bytes 2, 0, 1, 0, and back (blanks are ignored).
QString Hex(const QByteArray &bytes);
QByteArray FromHex(const QString &hex);

// The message of the TKrException the call throws, or "(no failure)".
QString FailureOf(const std::function<void()> &call);

// A die of the given health and profession, added at the end of the race.
TDie &AddDie(TRace &race, const QString &name, int health, Profession profession);

// The folder of test files checked in under tests/data.
QString TestDataPath(const QString &name);

// Records what the program reports to the user.
class TRecordingShell : public TShellServices
{
public:
    void ShowStatus(const QString &text) override { Statuses << text; }
    void ReportError(const TKrException &failure, const QString &context) override
    {
        Statuses << QStringLiteral("Error ") + context + u'.';
        Errors << failure.Message();
    }
    void Beep() override { ++Beeps; }
    void Inform(const QString &text) override { Informed << text; }

    QStringList Statuses;
    QStringList Errors;
    QStringList Informed;
    int Beeps = 0;
};
