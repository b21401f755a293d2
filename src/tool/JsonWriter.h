#pragma once

#include <QString>

#include <utility>
#include <variant>
#include <vector>

// A JSON value that keeps the order of its object keys, so that dumps read in the
// order a person thinks of a record (id and name first), which QJsonObject cannot.
class TJsonOut
{
public:
    using TMembers = std::vector<std::pair<QString, TJsonOut>>;
    using TElements = std::vector<TJsonOut>;

    TJsonOut() : FValue(nullptr) {}
    TJsonOut(bool value) : FValue(value) {}
    TJsonOut(int value) : FValue(qint64(value)) {}
    TJsonOut(qint64 value) : FValue(value) {}
    TJsonOut(QString value) : FValue(std::move(value)) {}

    static TJsonOut Object() { return TJsonOut(TMembers{}); }
    static TJsonOut Array() { return TJsonOut(TElements{}); }

    TJsonOut &Add(const QString &key, TJsonOut value);
    TJsonOut &Append(TJsonOut value);

    // Two-space indentation; arrays and objects that fit in a short line stay on one.
    QString Render() const;

private:
    explicit TJsonOut(TMembers members) : FValue(std::move(members)) {}
    explicit TJsonOut(TElements elements) : FValue(std::move(elements)) {}

    QString RenderInline() const;
    void RenderInto(QString &out, int indent) const;

    std::variant<std::nullptr_t, bool, qint64, QString, TMembers, TElements> FValue;
};
