#pragma once

// The trade file (".btr") that collectors send each other: the writer's address and
// e-mail address and the trade's lines from the writer's point of view (positive: coming
// in to the writer).

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class TInventory;
class TTaggedReader;
class TTaggedWriter;
class TTrade;

struct TTradeFileLine
{
    qint32 A = 0; // race ID, or -2 / -3 for a minor / major terrain
    qint32 B = 0; // die ID or terrain index
    qint32 Count = 0;
};

struct TTradeFile
{
    static constexpr qint32 kVersion = 1;

    qint32 Version = kVersion;
    QStringList Address; // one text per line; the first is the writer's name
    QString EMail;
    std::vector<TTradeFileLine> Lines;

    // The file as it stands, its references not resolved (what krtool dumps). A
    // TFileFormatError names the offset.
    static TTradeFile Read(TTaggedReader &reader);
    // Always version 1.
    void Write(TTaggedWriter &writer) const;
};

// What the reader hands on, value by value, so that an import keeps what it read before
// a damaged value.
struct TTradeFileSink
{
    std::function<void(qint32)> Version;
    std::function<void(const QString &)> AddressLine;
    std::function<void(const QString &)> EMail;
    std::function<void(const TTradeFileLine &)> Line;
};
void ReadTradeStream(TTaggedReader &reader, const TTradeFileSink &sink);

// "&Export Trade": the user's address (its lines) and e-mail address with the trade's
// saved lines.
TTradeFile MakeTradeFile(const TTrade &trade, const QString &userAddress, const QString &userEMail);
void ExportTradeFile(const QString &path, const TTradeFile &file);

// "&Import Trade From File": a new trade named "*import" takes the writer's first address
// line as its name, the other lines as its address, the e-mail address, and each line
// whose die or terrain the catalogue has with its count reversed (what the writer
// receives, the user sends). The trade stays, with what was read, when the file turns
// out damaged (the failure is passed on); the collection is changed either way.
TTrade &ImportTradeFile(TInventory &inventory, const QString &path);
TTrade &ImportTradeStream(TInventory &inventory, TTaggedReader &reader);
