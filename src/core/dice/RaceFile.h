#pragma once

#include <QString>

class TCatalogue;
class TRace;
class TTaggedReader;
class TTaggedWriter;

// Hears how reading the race database goes, so that a splash window can show it.
class TRaceLoadListener
{
public:
    virtual ~TRaceLoadListener() = default;
    // A race record is being read.
    virtual void RaceLoading(const QString &name) = 0;
    // A race was read and inserted; percent is how much of the file is behind us.
    virtual void RaceLoaded(const TRace &race, int percent) = 0;
};

// The race database: NextID, then a list of race records, each with its list of dice.
// Reading sets NextID and inserts every race into the race list where it sorts. When
// the stream is damaged the races read so far stay and the one being read is dropped;
// the failure is a TFileFormatError naming the offset.
void ReadRaceStream(TTaggedReader &reader, TCatalogue &catalogue, TRaceLoadListener *listener = nullptr);
void WriteRaceStream(TTaggedWriter &writer, const TCatalogue &catalogue);
