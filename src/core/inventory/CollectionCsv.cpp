#include "inventory/CollectionCsv.h"

#include "dice/Catalogue.h"
#include "inventory/Inventory.h"
#include "io/FileAccess.h"

#include <QHash>
#include <QIODevice>
#include <QStringDecoder>

#include <array>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// A spreadsheet opening the file by a double click takes it for UTF-8 only with this.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// Past this many, the message that names rows without a die counts the rest: it is
// shown in a box.
constexpr int kUnmatchedNamed = 20;

enum class TColumn {
    Kind,
    RaceId,
    DieId,
    Race,
    Name,
    Profession,
    Health,
    Count,
    Used,
    Locked,
    Trading,
    Price,
    Drawer,
    Modifier
};
constexpr int kColumnCount = int(TColumn::Modifier) + 1;
using TPositions = std::array<int, kColumnCount>;

const std::array<QString, kColumnCount> kColumnNames{
    u"kind"_s,  u"race_id"_s, u"die_id"_s, u"race"_s,    u"name"_s,  u"profession"_s, u"health"_s,
    u"count"_s, u"used"_s,    u"locked"_s, u"trading"_s, u"price"_s, u"drawer"_s,     u"modifier"_s};

QString ColumnName(TColumn column)
{
    return kColumnNames[size_t(column)];
}

enum class TItemKind { Die, Minor, Major };

QString KindName(TItemKind kind)
{
    switch (kind) {
    case TItemKind::Minor:
        return u"minor"_s;
    case TItemKind::Major:
        return u"major"_s;
    default:
        return u"die"_s;
    }
}

QString Flag(bool value)
{
    return value ? u"1"_s : u"0"_s;
}

QStringList RowOf(const TInventoryData &item)
{
    QString kind = u"die"_s;
    QString raceId;
    QString dieId;
    if (const auto *die = dynamic_cast<const TDie *>(&item)) {
        raceId = QString::number(die->Race().ID);
        dieId = QString::number(die->ID());
    } else if (const auto *terrain = dynamic_cast<const TTerrain *>(&item)) {
        kind = KindName(terrain->Major() ? TItemKind::Major : TItemKind::Minor);
        dieId = QString::number(terrain->Index());
    }
    // A die's group is its race, a terrain's its land; its kind the profession or the
    // terrain's face, its size the health or the size letter.
    return {kind,
            raceId,
            dieId,
            item.GroupText(),
            item.Name,
            item.KindText(),
            item.SizeText(),
            QString::number(item.Count),
            QString::number(item.UsedCount),
            Flag(item.Locked),
            Flag(item.Trading),
            QString::number(item.Price()),
            item.Drawer,
            QString::number(item.Modifier)};
}

bool IsBlank(const TCsvRecord &record)
{
    for (const QString &field : record.Fields) {
        if (!field.trimmed().isEmpty())
            return false;
    }
    return true;
}

QString Shown(const QString &value)
{
    return value.isEmpty() ? u"an empty cell"_s : u'"' + value + u'"';
}

QString MatchKey(TItemKind kind, const QString &race, const QString &name)
{
    return KindName(kind) + u'\x1f' + race.trimmed().toCaseFolded() + u'\x1f' + name.trimmed().toCaseFolded();
}

// One row of the file read against the header's columns.
class TRow
{
public:
    TRow(const TCsvRecord &record, const TPositions &positions) : FRecord(record), FPositions(positions) {}

    qint64 Line() const { return FRecord.Line; }
    bool Has(TColumn column) const { return FPositions[size_t(column)] >= 0; }
    // A column the header lacks, or a short row, reads as empty.
    QString Cell(TColumn column) const
    {
        return Has(column) ? FRecord.Fields.value(FPositions[size_t(column)]) : QString();
    }

    [[noreturn]] void Fail(TColumn column, const QString &problem) const
    {
        throw TCsvError(u"Line %1, column %2 (%3): %4"_s.arg(QString::number(FRecord.Line),
                                                             QString::number(FPositions[size_t(column)] + 1),
                                                             ColumnName(column), problem));
    }

    TItemKind Kind() const
    {
        const QString kind = Cell(TColumn::Kind).trimmed().toLower();
        if (kind == u"die")
            return TItemKind::Die;
        if (kind == u"minor")
            return TItemKind::Minor;
        if (kind == u"major")
            return TItemKind::Major;
        Fail(TColumn::Kind, Shown(Cell(TColumn::Kind)) + u" is not a kind of item: it must be \"die\", \"minor\" or "
                                                         u"\"major\"."_s);
    }

    // A whole number from low to high; nothing when the cell is empty and may be.
    std::optional<qint64> Number(TColumn column, qint64 low, qint64 high, bool mayBeEmpty) const
    {
        const QString text = Cell(column).trimmed();
        if (text.isEmpty() && mayBeEmpty)
            return std::nullopt;
        bool digits = !text.isEmpty();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (!(c.isDigit() && c.unicode() < 0x80) && !(i == 0 && (c == u'-' || c == u'+') && text.size() > 1))
                digits = false;
        }
        bool ok = false;
        const qint64 value = digits ? text.toLongLong(&ok) : 0;
        if (!ok || value < low || value > high) {
            Fail(column, u"%1 is not a whole number from %2 to %3."_s.arg(Shown(Cell(column)), QString::number(low),
                                                                          QString::number(high)));
        }
        return value;
    }

    std::optional<bool> FlagValue(TColumn column) const
    {
        if (!Has(column))
            return std::nullopt;
        const QString text = Cell(column).trimmed().toLower();
        if (text == u"1" || text == u"true" || text == u"yes")
            return true;
        if (text == u"0" || text == u"false" || text == u"no")
            return false;
        Fail(column, Shown(Cell(column)) + u" is not 0, 1, true, false, yes or no."_s);
    }

    // How the row is named in messages: race and name as the row gives them, else its IDs.
    QString Label(TItemKind kind) const
    {
        const QString race = Cell(TColumn::Race).trimmed();
        const QString name = Cell(TColumn::Name).trimmed();
        if (!race.isEmpty() && !name.isEmpty())
            return race + u'/' + name;
        if (!name.isEmpty())
            return name;
        if (kind != TItemKind::Die)
            return KindName(kind) + u" terrain "_s + Cell(TColumn::DieId).trimmed();
        return u"race %1 die %2"_s.arg(Cell(TColumn::RaceId).trimmed(), Cell(TColumn::DieId).trimmed());
    }

private:
    const TCsvRecord &FRecord;
    const TPositions &FPositions;
};

// The stored fields a row sets; a field whose column the file lacks stays as it is.
struct TChange
{
    TInventoryData *Item = nullptr;
    std::optional<qint64> Count;
    std::optional<bool> Locked;
    std::optional<bool> Trading;
    std::optional<qint64> Price;
    std::optional<QString> Drawer;
    std::optional<qint64> Modifier;
};

constexpr qint64 kInt32Min = std::numeric_limits<qint32>::min();
constexpr qint64 kInt32Max = std::numeric_limits<qint32>::max();
constexpr qint64 kCountMax = std::numeric_limits<quint32>::max();

// Where each known column stands in the header; unknown columns are passed over.
TPositions ReadHeader(const TCsvRecord &header)
{
    TPositions positions;
    positions.fill(-1);
    for (int i = 0; i < header.Fields.size(); ++i) {
        const QString name = header.Fields[i].trimmed().toLower();
        for (int column = 0; column < kColumnCount; ++column) {
            if (name != kColumnNames[size_t(column)])
                continue;
            if (positions[size_t(column)] >= 0) {
                throw TCsvError(u"Line %1, column %2: the column \"%3\" is there twice (column %4 too)."_s.arg(
                    QString::number(header.Line), QString::number(i + 1), name,
                    QString::number(positions[size_t(column)] + 1)));
            }
            positions[size_t(column)] = i;
        }
    }
    if (positions[size_t(TColumn::Kind)] < 0)
        throw TCsvError(u"Line %1: the header has no column \"kind\"."_s.arg(header.Line));
    if (positions[size_t(TColumn::DieId)] < 0 && positions[size_t(TColumn::Name)] < 0) {
        throw TCsvError(
            u"Line %1: the header has neither \"die_id\" nor \"name\", so no row can be matched."_s.arg(header.Line));
    }
    return positions;
}

// The catalogue's dice and terrains by kind, race (or land) and name, ignoring case.
QHash<QString, std::vector<TInventoryData *>> NameIndex(const TCatalogue &catalogue)
{
    QHash<QString, std::vector<TInventoryData *>> index;
    TDieTraversal walk(catalogue);
    for (TDie *die = walk.First(); die; die = walk.Next())
        index[MatchKey(TItemKind::Die, die->Race().Name, die->Name)].push_back(die);
    for (int i = 0; i < TTerrain::kMinorCount; ++i) {
        if (TTerrain *terrain = catalogue.MinorTerrain(i))
            index[MatchKey(TItemKind::Minor, terrain->GroupText(), terrain->Name)].push_back(terrain);
    }
    for (int i = 0; i < TTerrain::kMajorCount; ++i) {
        if (TTerrain *terrain = catalogue.MajorTerrain(i))
            index[MatchKey(TItemKind::Major, terrain->GroupText(), terrain->Name)].push_back(terrain);
    }
    return index;
}

// The item a row names, or none. Throws when the row names none at all, or names
// several.
TInventoryData *FindItem(const TRow &row, TItemKind kind, const TCatalogue &catalogue,
                         const QHash<QString, std::vector<TInventoryData *>> &names)
{
    const std::optional<qint64> dieId = row.Number(TColumn::DieId, kInt32Min, kInt32Max, true);
    if (kind == TItemKind::Die) {
        const std::optional<qint64> raceId = row.Number(TColumn::RaceId, kInt32Min, kInt32Max, true);
        if (raceId && dieId)
            return TInventory::ResolveItem(catalogue, qint32(*raceId), qint32(*dieId));
    } else if (dieId) {
        return kind == TItemKind::Major ? catalogue.MajorTerrain(int(*dieId)) : catalogue.MinorTerrain(int(*dieId));
    }
    const QString race = row.Cell(TColumn::Race).trimmed();
    const QString name = row.Cell(TColumn::Name).trimmed();
    if (race.isEmpty() || name.isEmpty()) {
        const TColumn missing = row.Has(TColumn::Name) ? TColumn::Name : TColumn::DieId;
        row.Fail(missing, kind == TItemKind::Die ? u"the row names no die: it needs race_id and die_id, or race and "
                                                   u"name."_s
                                                 : u"the row names no terrain: it needs die_id, or race and name."_s);
    }
    const auto found = names.constFind(MatchKey(kind, race, name));
    if (found == names.constEnd())
        return nullptr;
    if (found->size() > 1) {
        row.Fail(TColumn::Name, u"\"%1/%2\" names %3 dice; give race_id and die_id."_s.arg(
                                    race, name, QString::number(found->size())));
    }
    return found->front();
}

} // namespace

// ---------------------------------------------------------------------------------
// The text

std::vector<TCsvRecord> ParseCsv(QStringView text)
{
    std::vector<TCsvRecord> records;
    const qsizetype size = text.size();
    qint64 line = 1;
    qsizetype at = 0;
    auto lineBreakAt = [&](qsizetype i) { return i < size && (text[i] == u'\r' || text[i] == u'\n'); };
    // Steps over CR LF, CR or LF.
    auto skipLineBreak = [&](qsizetype &i) {
        if (text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        ++i;
        ++line;
    };
    while (at < size) {
        TCsvRecord record;
        record.Line = line;
        for (;;) {
            const int column = int(record.Fields.size()) + 1;
            auto fail = [&](qint64 where, const QString &problem) {
                throw TCsvError(
                    u"Line %1, column %2: %3"_s.arg(QString::number(where), QString::number(column), problem));
            };
            QString field;
            if (at < size && text[at] == u'"') {
                const qint64 opened = line;
                ++at;
                for (;;) {
                    if (at >= size)
                        fail(opened, u"the quoted field is never closed."_s);
                    const qsizetype quote = text.indexOf(u'"', at);
                    const qsizetype end = quote < 0 ? size : quote;
                    for (qsizetype i = at; i < end; ++i) {
                        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= size || text[i + 1] != u'\n')))
                            ++line;
                    }
                    field += text.mid(at, end - at);
                    at = end;
                    if (quote < 0)
                        continue;
                    if (at + 1 < size && text[at + 1] == u'"') {
                        field += u'"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                if (at < size && text[at] != u',' && !lineBreakAt(at))
                    fail(line, u"there is text after the closing quote; a quote inside a field is written twice."_s);
            } else {
                const qsizetype start = at;
                while (at < size && text[at] != u',' && !lineBreakAt(at)) {
                    if (text[at] == u'"')
                        fail(line, u"a quote inside a field that does not begin with one; such a field must be "
                                   u"quoted and its quotes written twice."_s);
                    ++at;
                }
                field = text.mid(start, at - start).toString();
            }
            record.Fields << field;
            if (at < size && text[at] == u',') {
                ++at;
                continue;
            }
            if (at < size)
                skipLineBreak(at);
            break;
        }
        records.push_back(std::move(record));
    }
    return records;
}

QString CsvLine(const QStringList &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        const QString &field = fields[i];
        const bool quoted =
            field.contains(u',') || field.contains(u'"') || field.contains(u'\r') || field.contains(u'\n');
        if (quoted)
            line += u'"' + QString(field).replace(u'"', u"\"\""_s) + u'"';
        else
            line += field;
    }
    return line + u"\r\n"_s;
}

QString DecodeCsvBytes(const QByteArray &bytes)
{
    const QByteArray content = bytes.startsWith(kByteOrderMark) ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(content);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(content);
}

// ---------------------------------------------------------------------------------
// The messages

QString TCsvImportResult::UnmatchedMessage() const
{
    if (Unmatched.empty())
        return QString();
    QStringList named;
    for (size_t i = 0; i < Unmatched.size() && i < size_t(kUnmatchedNamed); ++i)
        named << u"line "_s + QString::number(Unmatched[i].Line) + u' ' + Unmatched[i].Name;
    QString message = QString::number(Unmatched.size()) + (Unmatched.size() == 1 ? u" row"_s : u" rows"_s) +
                      u" matched no die: "_s + named.join(u", "_s);
    if (Unmatched.size() > size_t(kUnmatchedNamed))
        message += u", and "_s + QString::number(Unmatched.size() - size_t(kUnmatchedNamed)) + u" more"_s;
    return message + u'.';
}

QString TCsvImportResult::StatusText(const QString &path) const
{
    return QString::number(ItemsSet) + (ItemsSet == 1 ? u" item set from "_s : u" items set from "_s) + path + u'.';
}

// ---------------------------------------------------------------------------------
// The collection

const QStringList &TCollectionCsv::Columns()
{
    static const QStringList columns(kColumnNames.begin(), kColumnNames.end());
    return columns;
}

QByteArray TCollectionCsv::Export(const TInventory &inventory)
{
    QString text = CsvLine(Columns());
    TInventory::ForEachItem(inventory.Catalogue(), [&](const TInventoryData &item) { text += CsvLine(RowOf(item)); });
    return QByteArray(kByteOrderMark) + text.toUtf8();
}

TCsvImportResult TCollectionCsv::Import(TInventory &inventory, const QByteArray &bytes)
{
    const std::vector<TCsvRecord> records = ParseCsv(DecodeCsvBytes(bytes));
    size_t first = 0;
    while (first < records.size() && IsBlank(records[first]))
        ++first;
    if (first == records.size())
        throw TCsvError(u"Line 1: the file has no header; its first row must name the columns, \"kind\" first."_s);
    const TPositions positions = ReadHeader(records[first]);

    const TCatalogue &catalogue = inventory.Catalogue();
    const QHash<QString, std::vector<TInventoryData *>> names = NameIndex(catalogue);
    TCsvImportResult result;
    std::vector<TChange> changes;
    QHash<const TInventoryData *, qint64> setOn;
    for (size_t r = first + 1; r < records.size(); ++r) {
        if (IsBlank(records[r]))
            continue;
        const TRow row(records[r], positions);
        const TItemKind kind = row.Kind();
        TInventoryData *item = FindItem(row, kind, catalogue, names);
        TChange change;
        change.Item = item;
        if (row.Has(TColumn::Count))
            change.Count = row.Number(TColumn::Count, 0, kCountMax, false);
        change.Locked = row.FlagValue(TColumn::Locked);
        change.Trading = row.FlagValue(TColumn::Trading);
        if (row.Has(TColumn::Price))
            change.Price = row.Number(TColumn::Price, kInt32Min, kInt32Max, false);
        if (row.Has(TColumn::Drawer))
            change.Drawer = row.Cell(TColumn::Drawer);
        if (row.Has(TColumn::Modifier))
            change.Modifier = row.Number(TColumn::Modifier, kInt32Min, kInt32Max, false);
        if (!item) {
            result.Unmatched.push_back({row.Line(), row.Label(kind)});
            continue;
        }
        // Two rows for one die leave no telling which the user meant.
        const auto earlier = setOn.constFind(item);
        if (earlier != setOn.constEnd()) {
            throw TCsvError(u"Line %1: the row is for the same item as line %2 (%3)."_s.arg(
                QString::number(row.Line()), QString::number(*earlier), row.Label(kind)));
        }
        setOn.insert(item, row.Line());
        changes.push_back(std::move(change));
    }

    // Every row is sound: only now does anything change.
    for (const TChange &change : changes) {
        TInventoryData &item = *change.Item;
        if (change.Count)
            inventory.SetItemCount(item, *change.Count);
        if (change.Locked)
            inventory.SetLocked(item, *change.Locked);
        if (change.Trading)
            inventory.SetTrading(item, *change.Trading);
        if (change.Price)
            inventory.SetPrice(item, qint32(*change.Price));
        if (change.Drawer)
            inventory.SetDrawer(item, *change.Drawer);
        if (change.Modifier)
            inventory.SetModifier(item, qint32(*change.Modifier));
    }
    result.ItemsSet = int(changes.size());
    if (!changes.empty())
        inventory.InventoryModified = true;
    return result;
}

void TCollectionCsv::ExportFile(const TInventory &inventory, const QString &path)
{
    const QByteArray bytes = Export(inventory);
    SaveFileWith(path, [&](QIODevice &file) { file.write(bytes); });
}

TCsvImportResult TCollectionCsv::ImportFile(TInventory &inventory, const QString &path)
{
    QByteArray bytes;
    ReadFileWith(path, [&](QIODevice &file) { bytes = file.readAll(); });
    return Import(inventory, bytes);
}
