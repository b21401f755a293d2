#include "game/GameSharing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace GameSharing {

QString NoEmailForFtpText()
{
    return u"Cannot do FTP until an EMAIL name is entered via Options,User Information."_s;
}

QString MissingMailFieldsText()
{
    return u"Cannot do mail operations unless all fields on the \"Options, User Information\" form are filled in."_s;
}

qint64 PeriodSeconds(const QDateTime &now)
{
    constexpr qint64 kPeriod = 3600LL * 86400;
    const QDateTime local = now.toLocalTime();
    const qint64 days = QDate(1899, 12, 30).daysTo(local.date());
    const qint64 seconds = days * 86400 + local.time().msecsSinceStartOfDay() / 1000;
    // Moments before 1899 still fall within a period.
    return ((seconds % kPeriod) + kPeriod) % kPeriod;
}

QString MakeFTPName(quint32 &counter, const QString &email, const QDateTime &now)
{
    if (email.isEmpty())
        throw TKrException(NoEmailForFtpText());
    QString name = u"G"_s + QString::number(counter, 16).toUpper().rightJustified(2, u'0');
    ++counter;
    int letters = 0;
    for (const QChar c : email) {
        if (letters == 16)
            break;
        const char16_t u = c.unicode();
        if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9')) {
            name += c;
            ++letters;
        }
    }
    static constexpr char16_t kDigits[] = u"abcdefghijklmnopqrstuvwxyz0123456789";
    for (qint64 t = PeriodSeconds(now); t >= 1; t /= 36)
        name += QChar(kDigits[t % 36]);
    return name + u".dat"_s;
}

QString CheckFTPName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        throw TKrException(u"Enter the FTP name of the game, as its first upload showed it."_s);
    QString shown = trimmed;
    bool control = false;
    for (QChar &c : shown) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            control = true;
            c = u'?';
        }
    }
    if (control || trimmed.contains(u'/') || trimmed.contains(u'\\') || trimmed == u"."_s || trimmed == u".."_s)
        throw TKrException(u"\"%1\" is not the name of a game file on the server: an FTP name has no folders "
                           "and no control characters."_s.arg(shown));
    return trimmed;
}

QStringList MailRecipients(const QStringList &playerAddresses, const QString &ownAddress)
{
    QStringList recipients;
    for (const QString &address : playerAddresses) {
        if (!address.isEmpty() && address != ownAddress)
            recipients << address;
    }
    return recipients;
}

QString PacketsReadStatus(int packets)
{
    return u"Receiving game data:  %1 packets read."_s.arg(packets);
}

QString PacketsWrittenStatus(int packets)
{
    return u"Transmitting game data:  %1 packets written."_s.arg(packets);
}

QString FtpFailedStatus()
{
    return u"FTP operation ended in error."_s;
}

QString FtpSucceededStatus()
{
    return u"FTP operation successful."_s;
}

QString MailProgressStatus(qint64 bytes)
{
    return u"Mailing game data.  "_s + QString::number(bytes) + u" bytes sent."_s;
}

QString MailSentStatus(qint64 bytes)
{
    return u"Mail message transmitted.  "_s + QString::number(bytes) + u" bytes sent."_s;
}

QString GameDownloadedStatus(const QTime &time, const QLocale &locale)
{
    return u"Game downloaded from KRASSIST server at "_s + locale.toString(time, QLocale::LongFormat) + u'.';
}

QString UploadCompleteText(const QString &ftpName)
{
    return u"Upload complete.  FTP name is "_s + ftpName + u'.';
}

QString FtpNameText(const QString &ftpName)
{
    return u"FTP name is "_s + ftpName + u'.';
}

} // namespace GameSharing

QString TDebugTrace::DefaultPath()
{
    const QString overridden = qEnvironmentVariable("KRASSIST_TRACE");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/QRV/KRAssist/KRDebug.log"_s;
}

void TDebugTrace::Write(const QString &line, const QDateTime &when) const
{
    const QFileInfo info(FPath);
    QDir().mkpath(info.absolutePath());
    if (info.exists() && info.size() >= kSizeLimit) {
        const QString old = FPath + u".old"_s;
        QFile::remove(old);
        QFile::rename(FPath, old);
    }
    QFile file(FPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QString text = when.toString(u"yyyy-MM-dd hh:mm:ss"_s) + u"  "_s + line + u"\r\n"_s;
    file.write(text.toUtf8());
}

void TDebugTrace::LocalAddress(const QString &address, const QDateTime &when) const
{
    Write(u"Local IP address is "_s + address + u'.', when);
}
