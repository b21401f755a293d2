#include "TestSupport.h"

#include "io/TaggedStream.h"

#include <QBuffer>

using namespace Qt::StringLiterals;

void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

QByteArray WriteBytes(const std::function<void(TTaggedWriter &)> &write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TTaggedWriter writer(buffer);
    write(writer);
    writer.Flush();
    return bytes;
}

void ReadBytes(const QByteArray &bytes, const std::function<void(TTaggedReader &)> &read)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TTaggedReader reader(buffer);
    read(reader);
}

QString Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}

QByteArray FromHex(const QString &hex)
{
    QString compact = hex;
    compact.remove(u' ');
    return QByteArray::fromHex(compact.toLatin1());
}

QString FailureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const TKrException &failure) {
        return failure.Message();
    }
    return u"(no failure)"_s;
}

QString TestDataPath(const QString &name)
{
    return QStringLiteral(KR_TEST_DATA_DIR) + u'/' + name;
}
