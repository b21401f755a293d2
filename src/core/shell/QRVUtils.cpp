#include "shell/QRVUtils.h"

#include <algorithm>

using namespace Qt::StringLiterals;

QString ForceExtension(const QString &name, const QString &extension)
{
    // Only a dot of the file name itself counts: "games.old/army" must not lose "old/army".
    const qsizetype separator = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0 || dot < separator)
        return name + u'.' + extension;
    return name.left(dot + 1) + extension;
}

QString PadNumber(qint64 n, int width)
{
    return QString::number(n).rightJustified(width, u' ');
}

void AddCountedLine(QStringList &lines, qint64 n, const QString &text)
{
    if (n != 0)
        lines << PadNumber(n, 4) + u' ' + text;
}

std::optional<qint32> AskBoundedNumber(const TInputBox &inputBox, const QString &prompt, qint32 low, qint32 high,
                                       const QString &initial)
{
    QString question = prompt;
    QString text = initial;
    for (;;) {
        const std::optional<QString> answer = inputBox(question, text);
        if (!answer)
            return std::nullopt;
        text = *answer;
        bool ok = false;
        const qint32 value = answer->trimmed().toInt(&ok, 10);
        const QString range = QString::number(low) + u" and "_s + QString::number(high);
        if (!ok)
            question = u"Invalid value.  Enter whole number:"_s;
        else if (value < low)
            question = u"Value too low.  Enter a number between "_s + range + u':';
        else if (value > high)
            question = u"Value too high.  Enter a number between "_s + range + u':';
        else
            return value;
    }
}
