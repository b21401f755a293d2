#pragma once

#include <QString>

class TKrException;

// The main window's services that the program's operations report through: the status
// line, the error report and the system beep. The window implements it; tests record.
class TShellServices
{
public:
    virtual ~TShellServices() = default;
    // One line in the main status bar.
    virtual void ShowStatus(const QString &text) = 0;
    // "Error " + context + "." in the status bar, then the failure's own message in a
    // warning box.
    virtual void ReportError(const TKrException &failure, const QString &context) = 0;
    virtual void Beep() = 0;
    // Something the user must know although nothing failed, in an information box.
    virtual void Inform(const QString &text) = 0;
};
