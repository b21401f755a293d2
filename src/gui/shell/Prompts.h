#pragma once

#include <QString>

class QWidget;

// Every message box, question and beep of the program goes through this interface, so
// that tests can answer from a script and see what was asked.
class TPrompts
{
public:
    virtual ~TPrompts() = default;
    // A warning box with one OK button; the arrow cursor shows while it is up.
    virtual void Warning(QWidget *parent, const QString &caption, const QString &text) = 0;
    virtual void Beep() = 0;
};

// The real dialogs.
class TDialogPrompts final : public TPrompts
{
public:
    void Warning(QWidget *parent, const QString &caption, const QString &text) override;
    void Beep() override;
};
