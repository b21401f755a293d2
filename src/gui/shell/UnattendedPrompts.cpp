#include "shell/UnattendedPrompts.h"

using namespace Qt::StringLiterals;

namespace {

QString AnswerName(TAnswer answer)
{
    switch (answer) {
    case TAnswer::Ok:
        return u"OK"_s;
    case TAnswer::Yes:
        return u"Yes"_s;
    case TAnswer::No:
        return u"No"_s;
    case TAnswer::Cancel:
        break;
    }
    return u"Cancel"_s;
}

} // namespace

void TUnattendedPrompts::Write(const QString &line)
{
    std::fprintf(FLog, "%s\n", line.toLocal8Bit().constData());
    std::fflush(FLog);
}

void TUnattendedPrompts::Message(TMessageKind kind, const QString &caption, const QString &text)
{
    Write(MessageKindName(kind) + u" ("_s + caption + u"): "_s + text);
}

TAnswer TUnattendedPrompts::Ask(TMessageKind kind, const QString &caption, const QString &text, TButtons buttons)
{
    const TAnswer answer = DefaultAnswer(buttons);
    Write(MessageKindName(kind) + u" ("_s + caption + u"): "_s + text + u" Answered: "_s + AnswerName(answer));
    return answer;
}

std::optional<QString> TUnattendedPrompts::InputBox(const QString &caption, const QString &prompt, const QString &text)
{
    Write(u"Input ("_s + caption + u"): "_s + prompt + u" Answered: \""_s + text + u'"');
    return text;
}

std::optional<TFileChoice> TUnattendedPrompts::OpenFiles(const TFileDialog &dialog)
{
    Write(u"Open dialog ("_s + dialog.Title + u"): cancelled"_s);
    return std::nullopt;
}

std::optional<TFileChoice> TUnattendedPrompts::SaveFile(const TFileDialog &dialog)
{
    Write(u"Save dialog ("_s + dialog.Title + u"): cancelled"_s);
    return std::nullopt;
}

bool TUnattendedPrompts::PrintSetup(QPrinter &)
{
    Write(u"Print dialog: cancelled"_s);
    return false;
}

std::optional<QColor> TUnattendedPrompts::ChooseColor(const QColor &)
{
    Write(u"Colour dialog: cancelled"_s);
    return std::nullopt;
}
