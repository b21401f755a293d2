#include "ScriptedPrompts.h"

#include <QPrinter>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString ButtonsName(TButtons buttons)
{
    switch (buttons) {
    case TButtons::Ok:
        return u"Ok"_s;
    case TButtons::OkCancel:
        return u"OkCancel"_s;
    case TButtons::YesNo:
        return u"YesNo"_s;
    case TButtons::YesNoCancel:
        break;
    }
    return u"YesNoCancel"_s;
}

} // namespace

TScriptedPrompts::~TScriptedPrompts()
{
    CheckAllUsed();
}

void TScriptedPrompts::CheckAllUsed()
{
    for (const TStep &step : FSteps)
        ADD_FAILURE() << "The script expected a question that was never asked: " << step.Text.toStdString();
    FSteps.clear();
}

void TScriptedPrompts::ExpectAsk(const QString &text, TAnswer answer)
{
    FSteps.push_back({TKind::Ask, text, answer});
}

void TScriptedPrompts::ExpectMessage(const QString &text)
{
    FSteps.push_back({TKind::Message, text, std::monostate()});
}

void TScriptedPrompts::ExpectInput(const QString &prompt, std::optional<QString> answer)
{
    FSteps.push_back({TKind::Input, prompt, std::move(answer)});
}

void TScriptedPrompts::ExpectOpen(std::optional<TFileChoice> answer)
{
    FSteps.push_back({TKind::Open, QString(), std::move(answer)});
}

void TScriptedPrompts::ExpectSave(std::optional<TFileChoice> answer)
{
    FSteps.push_back({TKind::Save, QString(), std::move(answer)});
}

void TScriptedPrompts::ExpectColor(std::optional<QColor> answer)
{
    FSteps.push_back({TKind::Color, QString(), answer});
}

void TScriptedPrompts::ExpectPrintSetup(bool answer)
{
    FSteps.push_back({TKind::Print, QString(), answer});
}

std::optional<TScriptedPrompts::TStep> TScriptedPrompts::Take(TKind kind, const QString &text, const QString &event)
{
    Transcript << event;
    if (FSteps.empty() || FSteps.front().Kind != kind || (!FSteps.front().Text.isEmpty() && FSteps.front().Text != text)) {
        ADD_FAILURE() << "Unexpected: " << event.toStdString()
                      << (FSteps.empty() ? std::string(" (the script was done)")
                                         : " (the script expected: " + FSteps.front().Text.toStdString() + ")");
        return std::nullopt;
    }
    TStep step = FSteps.front();
    FSteps.pop_front();
    return step;
}

void TScriptedPrompts::Message(TMessageKind kind, const QString &caption, const QString &text)
{
    Take(TKind::Message, text, u"message "_s + MessageKindName(kind) + u' ' + caption + u": "_s + text);
}

TAnswer TScriptedPrompts::Ask(TMessageKind, const QString &caption, const QString &text, TButtons buttons)
{
    const std::optional<TStep> step =
        Take(TKind::Ask, text, u"ask "_s + ButtonsName(buttons) + u' ' + caption + u": "_s + text);
    return step ? std::get<TAnswer>(step->Answer) : TAnswer::Cancel;
}

std::optional<QString> TScriptedPrompts::InputBox(const QString &caption, const QString &prompt, const QString &text)
{
    const std::optional<TStep> step =
        Take(TKind::Input, prompt, u"input "_s + caption + u": "_s + prompt + u" ["_s + text + u']');
    return step ? std::get<std::optional<QString>>(step->Answer) : std::nullopt;
}

std::optional<TFileChoice> TScriptedPrompts::OpenFiles(const TFileDialog &dialog)
{
    LastFileDialog = dialog;
    const std::optional<TStep> step =
        Take(TKind::Open, QString(), u"open "_s + dialog.Title + u" ["_s + dialog.FileName + u']');
    return step ? std::get<std::optional<TFileChoice>>(step->Answer) : std::nullopt;
}

std::optional<TFileChoice> TScriptedPrompts::SaveFile(const TFileDialog &dialog)
{
    LastFileDialog = dialog;
    const std::optional<TStep> step =
        Take(TKind::Save, QString(), u"save "_s + dialog.Title + u" ["_s + dialog.FileName + u']');
    return step ? std::get<std::optional<TFileChoice>>(step->Answer) : std::nullopt;
}

bool TScriptedPrompts::PrintSetup(QPrinter &printer)
{
    const std::optional<TStep> step = Take(TKind::Print, QString(), u"print setup"_s);
    const bool accepted = step && std::get<bool>(step->Answer);
    if (accepted && !PrintFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PrintFile);
    }
    return accepted;
}

std::optional<QColor> TScriptedPrompts::ChooseColor(const QColor &)
{
    const std::optional<TStep> step = Take(TKind::Color, QString(), u"color"_s);
    return step ? std::get<std::optional<QColor>>(step->Answer) : std::nullopt;
}

void TScriptedPrompts::Beep()
{
    ++Beeps;
    Transcript << u"beep"_s;
}
