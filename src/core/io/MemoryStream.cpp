#include "io/MemoryStream.h"

#include "io/TaggedStream.h"

#include <QBuffer>

QByteArray WriteToBytes(const std::function<void(TTaggedWriter &)> &write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TTaggedWriter writer(buffer);
    write(writer);
    writer.Flush();
    return bytes;
}

void ReadFromBytes(const QByteArray &bytes, const std::function<void(TTaggedReader &)> &read)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TTaggedReader reader(buffer);
    read(reader);
}
