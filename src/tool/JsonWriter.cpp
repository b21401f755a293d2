#include "JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <QJsonValue>

using namespace Qt::StringLiterals;

namespace {

constexpr int kInlineWidth = 88;

QString Quoted(const QString &text)
{
    // QJsonDocument knows JSON's escapes; let it quote the string inside an array.
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

} // namespace

TJsonOut &TJsonOut::Add(const QString &key, TJsonOut value)
{
    std::get<TMembers>(FValue).emplace_back(key, std::move(value));
    return std::get<TMembers>(FValue).back().second;
}

TJsonOut &TJsonOut::Append(TJsonOut value)
{
    std::get<TElements>(FValue).push_back(std::move(value));
    return std::get<TElements>(FValue).back();
}

QString TJsonOut::RenderInline() const
{
    if (std::holds_alternative<std::nullptr_t>(FValue))
        return u"null"_s;
    if (const bool *flag = std::get_if<bool>(&FValue))
        return *flag ? u"true"_s : u"false"_s;
    if (const qint64 *number = std::get_if<qint64>(&FValue))
        return QString::number(*number);
    if (const QString *text = std::get_if<QString>(&FValue))
        return Quoted(*text);
    QStringList parts;
    if (const TMembers *members = std::get_if<TMembers>(&FValue)) {
        for (const auto &[key, value] : *members)
            parts << Quoted(key) + u": "_s + value.RenderInline();
        return u'{' + parts.join(u", "_s) + u'}';
    }
    for (const TJsonOut &element : std::get<TElements>(FValue))
        parts << element.RenderInline();
    return u'[' + parts.join(u", "_s) + u']';
}

void TJsonOut::RenderInto(QString &out, int indent) const
{
    const QString flat = RenderInline();
    const bool container = std::holds_alternative<TMembers>(FValue) || std::holds_alternative<TElements>(FValue);
    if (!container || indent + flat.size() <= kInlineWidth) {
        out += flat;
        return;
    }
    const QString inner(indent + 2, u' ');
    if (const TMembers *members = std::get_if<TMembers>(&FValue)) {
        out += u"{\n"_s;
        for (size_t i = 0; i < members->size(); ++i) {
            out += inner + Quoted((*members)[i].first) + u": "_s;
            (*members)[i].second.RenderInto(out, indent + 2);
            out += i + 1 < members->size() ? u",\n"_s : u"\n"_s;
        }
        out += QString(indent, u' ') + u'}';
        return;
    }
    const TElements &elements = std::get<TElements>(FValue);
    out += u"[\n"_s;
    for (size_t i = 0; i < elements.size(); ++i) {
        out += inner;
        elements[i].RenderInto(out, indent + 2);
        out += i + 1 < elements.size() ? u",\n"_s : u"\n"_s;
    }
    out += QString(indent, u' ') + u']';
}

QString TJsonOut::Render() const
{
    QString out;
    RenderInto(out, 0);
    return out + u'\n';
}
