#include "InventoryJson.h"

#include "JsonFields.h"
#include "dice/Catalogue.h"
#include "io/DateTimeValue.h"

#include <QJsonArray>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;
using namespace JsonFields;

namespace {

// ---------------------------------------------------------------------------------
// References

void AddReference(TJsonOut &json, qint32 a, qint32 b, const TCatalogue &names)
{
    if (a == TInventory::kMinorTerrainRef) {
        json.Add(u"minor"_s, b);
    } else if (a == TInventory::kMajorTerrainRef) {
        json.Add(u"major"_s, b);
    } else {
        json.Add(u"race"_s, a);
        json.Add(u"die"_s, b);
    }
    if (const TInventoryData *item = TInventory::ResolveItem(names, a, b))
        json.Add(u"name"_s, item->ListText());
}

void ReadReference(TMembers &members, qint32 &a, qint32 &b)
{
    const int forms = int(members.Has(u"race"_s) || members.Has(u"die"_s)) + int(members.Has(u"minor"_s)) +
                      int(members.Has(u"major"_s));
    if (forms != 1)
        Invalid(members.Path(), u"give either \"race\" and \"die\", or \"minor\", or \"major\""_s);
    if (members.Has(u"minor"_s)) {
        a = TInventory::kMinorTerrainRef;
        b = members.Integer32(u"minor"_s);
    } else if (members.Has(u"major"_s)) {
        a = TInventory::kMajorTerrainRef;
        b = members.Integer32(u"major"_s);
    } else {
        a = members.Integer32(u"race"_s);
        if (a == TInventory::kMinorTerrainRef || a == TInventory::kMajorTerrainRef)
            Invalid(At(members.Path(), u"race"_s), u"-2 and -3 stand for terrains: give \"minor\" or \"major\""_s);
        b = members.Integer32(u"die"_s);
    }
    members.PassOver(u"name"_s);
}

// ---------------------------------------------------------------------------------
// Dates: the calendar date and the time of day to the millisecond, as the program keeps
// them; a moment no calendar text holds goes as its count of days.

TJsonOut DateToJson(const std::optional<QDateTime> &date)
{
    if (!date)
        return {};
    const QDate day = date->date();
    if (!date->isValid() || day.year() < 1 || day.year() > 9999)
        return TJsonOut(QString::number(DateTimeToDays(*date), 'g', 17));
    return TJsonOut(day.toString(Qt::ISODate) + u'T' + date->time().toString(u"HH:mm:ss.zzz"_s));
}

std::optional<QDateTime> DateFromJson(const QJsonValue &value, const QString &path)
{
    if (value.isNull())
        return std::nullopt;
    if (value.isString()) {
        const QString text = value.toString();
        bool isNumber = false;
        const double days = text.toDouble(&isNumber);
        QDateTime moment;
        if (isNumber) {
            moment = DaysToDateTime(days);
        } else {
            const QDate day = QDate::fromString(text.section(u'T', 0, 0), Qt::ISODate);
            const QTime time = QTime::fromString(text.section(u'T', 1), u"HH:mm:ss.zzz"_s);
            if (text.count(u'T') == 1 && day.isValid() && time.isValid())
                moment = QDateTime(day, time);
        }
        if (moment.isValid())
            return moment;
    }
    Invalid(path, u"a date such as \"2024-03-05T14:30:00.000\", a number of days as text, or null is expected"_s);
}

// ---------------------------------------------------------------------------------
// Entries

TJsonOut ItemToJson(const TInventoryFileItem &item, const TCatalogue &names)
{
    TJsonOut json = TJsonOut::Object();
    AddReference(json, item.A, item.B, names);
    json.Add(u"count"_s, qint64(item.Count));
    json.Add(u"locked"_s, item.Locked);
    json.Add(u"trading"_s, item.Trading);
    json.Add(u"price"_s, item.Price);
    json.Add(u"drawer"_s, item.Drawer);
    json.Add(u"modifier"_s, item.Modifier);
    return json;
}

TInventoryFileItem ItemFromJson(const QJsonValue &value, const QString &path)
{
    TMembers members(value, path);
    TInventoryFileItem item;
    ReadReference(members, item.A, item.B);
    item.Count = quint32(members.Integer(u"count"_s, 0, std::numeric_limits<quint32>::max()));
    item.Locked = members.Boolean(u"locked"_s, false);
    item.Trading = members.Boolean(u"trading"_s, false);
    item.Price = members.Integer32(u"price"_s, 0);
    item.Drawer = members.Text(u"drawer"_s, QString());
    item.Modifier = members.Integer32(u"modifier"_s, 0);
    members.CheckAllUsed();
    return item;
}

TJsonOut TradeToJson(const TInventoryFileTrade &trade, const TCatalogue &names)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"number"_s, trade.Number);
    json.Add(u"name"_s, trade.Name);
    json.Add(u"address"_s, trade.Address);
    json.Add(u"phone"_s, trade.Phone);
    json.Add(u"email"_s, trade.EMail);
    json.Add(u"status"_s, NameOf(trade.Status));
    json.Add(u"useTradeOuts"_s, trade.UseTradeOuts);
    json.Add(u"terms"_s, trade.Terms);
    json.Add(u"date"_s, DateToJson(trade.Date));
    json.Add(u"card"_s, trade.Card);
    json.Add(u"notes"_s, trade.Notes);
    TJsonOut &lines = json.Add(u"lines"_s, TJsonOut::Array());
    for (const TInventoryFileLine &line : trade.Lines) {
        TJsonOut &entry = lines.Append(TJsonOut::Object());
        AddReference(entry, line.A, line.B, names);
        entry.Add(u"count"_s, line.Count);
    }
    return json;
}

TradeStatus StatusFromJson(const QJsonValue &value, const QString &path)
{
    if (value.isString()) {
        if (const std::optional<TradeStatus> status = FromName<TradeStatus>(value.toString()))
            return *status;
    } else if (value.isDouble() && value.toDouble() == double(qint64(value.toDouble())) &&
               IsInVocabulary<TradeStatus>(qint64(value.toDouble()))) {
        return TradeStatus(qint64(value.toDouble()));
    }
    QStringList names;
    for (int i = 0; i < VocabularyCount<TradeStatus>(); ++i)
        names << u'"' + NameOf(TradeStatus(i)) + u'"';
    Invalid(path, u"expected one of: %1"_s.arg(names.join(u", "_s)));
}

TInventoryFileTrade TradeFromJson(const QJsonValue &value, const QString &path)
{
    TMembers members(value, path);
    TInventoryFileTrade trade;
    trade.Number = members.Integer32(u"number"_s);
    trade.Name = members.Text(u"name"_s);
    trade.Address = members.Text(u"address"_s, QString());
    trade.Phone = members.Text(u"phone"_s, QString());
    trade.EMail = members.Text(u"email"_s, QString());
    if (members.Has(u"status"_s))
        trade.Status = StatusFromJson(members.Value(u"status"_s), At(path, u"status"_s));
    trade.UseTradeOuts = members.Boolean(u"useTradeOuts"_s, false);
    trade.Terms = members.Text(u"terms"_s, QString());
    if (members.Has(u"date"_s))
        trade.Date = DateFromJson(members.Value(u"date"_s), At(path, u"date"_s));
    trade.Card = members.Text(u"card"_s, QString());
    trade.Notes = members.Text(u"notes"_s, QString());
    if (members.Has(u"lines"_s)) {
        const QJsonArray lines = members.List(u"lines"_s);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            TMembers entry(lines[i], At(At(path, u"lines"_s), i));
            TInventoryFileLine line;
            ReadReference(entry, line.A, line.B);
            line.Count = entry.Integer32(u"count"_s);
            entry.CheckAllUsed();
            trade.Lines.push_back(line);
        }
    }
    members.CheckAllUsed();
    return trade;
}

} // namespace

TJsonOut InventoryToJson(const TInventoryFile &file, const TCatalogue &names)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"kind"_s, u"inventory"_s);
    json.Add(u"version"_s, file.Version);
    TJsonOut &items = json.Add(u"items"_s, TJsonOut::Array());
    for (const TInventoryFileItem &item : file.Items)
        items.Append(ItemToJson(item, names));
    json.Add(u"nextTradeNumber"_s, file.NextTradeNumber);
    TJsonOut &trades = json.Add(u"trades"_s, TJsonOut::Array());
    for (const TInventoryFileTrade &trade : file.Trades)
        trades.Append(TradeToJson(trade, names));
    return json;
}

TInventoryFile InventoryFromJson(const QJsonObject &json)
{
    TMembers members(json, QString());
    ReadHeader(members, u"inventory"_s, 1, TInventory::kFileVersion);
    TInventoryFile file;
    const QJsonArray items = members.List(u"items"_s);
    for (qsizetype i = 0; i < items.size(); ++i)
        file.Items.push_back(ItemFromJson(items[i], At(u"items"_s, i)));
    if (members.Has(u"trades"_s)) {
        const QJsonArray trades = members.List(u"trades"_s);
        for (qsizetype i = 0; i < trades.size(); ++i)
            file.Trades.push_back(TradeFromJson(trades[i], At(u"trades"_s, i)));
    }
    if (members.Has(u"nextTradeNumber"_s)) {
        file.NextTradeNumber = members.Integer32(u"nextTradeNumber"_s);
    } else {
        // After the highest number, so that a new trade never takes one in use.
        for (const TInventoryFileTrade &trade : file.Trades)
            file.NextTradeNumber =
                std::max(file.NextTradeNumber, qint32(std::min<qint64>(qint64(trade.Number) + 1, kMax32)));
    }
    members.CheckAllUsed();
    return file;
}

TJsonOut PricesToJson(const TPriceListFile &file, const TCatalogue &names)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"kind"_s, u"prices"_s);
    json.Add(u"version"_s, file.Version);
    TJsonOut &prices = json.Add(u"prices"_s, TJsonOut::Array());
    for (const TPriceListEntry &entry : file.Entries) {
        TJsonOut &out = prices.Append(TJsonOut::Object());
        AddReference(out, entry.A, entry.B, names);
        out.Add(u"price"_s, entry.Price);
    }
    return json;
}

TPriceListFile PricesFromJson(const QJsonObject &json)
{
    TMembers members(json, QString());
    ReadHeader(members, u"prices"_s, kMin32, kMax32);
    TPriceListFile file;
    const QJsonArray prices = members.List(u"prices"_s);
    for (qsizetype i = 0; i < prices.size(); ++i) {
        TMembers entry(prices[i], At(u"prices"_s, i));
        TPriceListEntry read;
        ReadReference(entry, read.A, read.B);
        read.Price = entry.Integer32(u"price"_s);
        entry.CheckAllUsed();
        file.Entries.push_back(read);
    }
    members.CheckAllUsed();
    return file;
}

TJsonOut TradeFileToJson(const TTradeFile &file, const TCatalogue &names)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"kind"_s, u"trade"_s);
    json.Add(u"version"_s, file.Version);
    TJsonOut &address = json.Add(u"address"_s, TJsonOut::Array());
    for (const QString &line : file.Address)
        address.Append(TJsonOut(line));
    json.Add(u"email"_s, file.EMail);
    TJsonOut &lines = json.Add(u"lines"_s, TJsonOut::Array());
    for (const TTradeFileLine &line : file.Lines) {
        TJsonOut &entry = lines.Append(TJsonOut::Object());
        AddReference(entry, line.A, line.B, names);
        entry.Add(u"count"_s, line.Count);
    }
    return json;
}

TTradeFile TradeFileFromJson(const QJsonObject &json)
{
    TMembers members(json, QString());
    // The program passes over the version of a trade file it reads; any is shown.
    ReadHeader(members, u"trade"_s, kMin32, kMax32);
    TTradeFile file;
    if (members.Has(u"address"_s)) {
        const QJsonArray address = members.List(u"address"_s);
        for (qsizetype i = 0; i < address.size(); ++i) {
            if (!address[i].isString())
                Invalid(At(u"address"_s, i), u"a text is expected"_s);
            file.Address << address[i].toString();
        }
    }
    file.EMail = members.Text(u"email"_s, QString());
    if (members.Has(u"lines"_s)) {
        const QJsonArray lines = members.List(u"lines"_s);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            TMembers entry(lines[i], At(u"lines"_s, i));
            TTradeFileLine line;
            ReadReference(entry, line.A, line.B);
            line.Count = entry.Integer32(u"count"_s);
            entry.CheckAllUsed();
            file.Lines.push_back(line);
        }
    }
    members.CheckAllUsed();
    return file;
}
