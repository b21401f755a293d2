#pragma once

#include "io/FileErrors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class TInventory;

// The collection as comma-separated values, for spreadsheets and other collectors'
// tools: a header row, then a row per die and terrain in the order of the inventory file.
// UTF-8 with a byte order mark, RFC 4180 quoting, CR LF line ends.

// One record of a CSV text and the line it starts on (1-based).
struct TCsvRecord
{
    qint64 Line = 0;
    QStringList Fields;
};

// A CSV text that does not parse, or a row of the collection that does not make sense.
// The message names the line, and the column where there is one.
class TCsvError : public TFileFormatError
{
public:
    using TFileFormatError::TFileFormatError;
};

// RFC 4180: fields separated by commas, records by CR LF (a lone LF or CR is taken too),
// a field in double quotes may hold commas, quotes (doubled) and line breaks. A quote
// inside a field that does not begin with one, text after a closing quote and a quoted
// field never closed are refused.
std::vector<TCsvRecord> ParseCsv(QStringView text);
// The fields joined by commas, quoted where they must be, with CR LF.
QString CsvLine(const QStringList &fields);

// The bytes of a CSV file as text: UTF-8 (a byte order mark dropped), or, when the bytes
// are not UTF-8, Latin-1, which is what spreadsheets write when told plain "CSV".
QString DecodeCsvBytes(const QByteArray &bytes);

// What an import did.
struct TCsvImportResult
{
    struct TUnmatched
    {
        qint64 Line = 0;
        QString Name; // "Stoneborn/Quarry Guard", or the IDs when the row has no names
    };

    int ItemsSet = 0;
    std::vector<TUnmatched> Unmatched;

    // "3 rows matched no die: line 4 Stoneborn/Quarry Guard, ..."; empty when every row
    // matched. Long lists name the first rows and count the rest.
    QString UnmatchedMessage() const;
    // "12 items set from PATH."
    QString StatusText(const QString &path) const;
};

class TCollectionCsv
{
public:
    static const QStringList &Columns();

    static QByteArray Export(const TInventory &inventory);
    // All or nothing: every row is checked before the first item changes, and a row that
    // does not parse throws a TCsvError. Matched items get their stored fields (those
    // the file has columns for) through the inventory's setters.
    static TCsvImportResult Import(TInventory &inventory, const QByteArray &bytes);

    // The same on files; the export is written whole or not at all.
    static void ExportFile(const TInventory &inventory, const QString &path);
    static TCsvImportResult ImportFile(TInventory &inventory, const QString &path);
};
