#pragma once

#include "shell/Prompts.h"

#include <cstdio>

// The answers of a run that no person watches (a picture of the window for a script):
// every question takes the answer its box offers by default, every dialog is cancelled,
// and every message and question is written to a stream instead of waiting on screen.
class TUnattendedPrompts final : public TPrompts
{
public:
    explicit TUnattendedPrompts(std::FILE *log) : FLog(log) {}

    void Message(TMessageKind kind, const QString &caption, const QString &text) override;
    TAnswer Ask(TMessageKind kind, const QString &caption, const QString &text, TButtons buttons) override;
    std::optional<QString> InputBox(const QString &caption, const QString &prompt, const QString &text) override;
    std::optional<TFileChoice> OpenFiles(const TFileDialog &dialog) override;
    std::optional<TFileChoice> SaveFile(const TFileDialog &dialog) override;
    bool PrintSetup(QPrinter &printer) override;
    std::optional<QColor> ChooseColor(const QColor &initial) override;
    void Beep() override {}

private:
    void Write(const QString &line);

    std::FILE *FLog;
};
