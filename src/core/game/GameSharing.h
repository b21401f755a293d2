#pragma once

#include "KrException.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class QLocale;

// What passing a game between players needs without a window: the name a game gets on
// the shared server, who a game is mailed to, the texts the transfers show, and the
// debug trace that records the local address of each download.
namespace GameSharing {

// Every game file on the shared server lives here.
inline constexpr char16_t kServerDirectory[] = u"/files/games";
// The subject of a mailed game, and the mailer the program names itself as.
inline constexpr char16_t kMailSubject[] = u"KRASSIST Game in Progress";
inline constexpr char16_t kMailer[] = u"KRASSIST";

// The refusals: no e-mail address to name an FTP file after, a mail field missing.
QString NoEmailForFtpText();
QString MissingMailFieldsText();

// The name a game gets at its first upload: "G", the counter in hexadecimal (at least
// two upper-case digits), up to 16 letters and digits of the e-mail address, the
// seconds within the current 3600-day period in base 36 (least significant first),
// ".dat". Throws the refusal above when the address is empty. The caller keeps the
// counter, which goes up by one.
QString MakeFTPName(quint32 &counter, const QString &email, const QDateTime &now);

// The seconds elapsed within the 3600-day period that now falls in, counting days from
// 30 December 1899 in local time, as the stamp of MakeFTPName uses them.
qint64 PeriodSeconds(const QDateTime &now);

// A name the user typed for a server file, trimmed; throws a TKrException saying why
// when it could not name a file in the games folder (empty, a path, control characters).
QString CheckFTPName(const QString &name);

// The players to mail a game to, in player order: every address that is not empty and
// is not the user's own.
QStringList MailRecipients(const QStringList &playerAddresses, const QString &ownAddress);

// The statuses of the transfer events.
QString PacketsReadStatus(int packets);
QString PacketsWrittenStatus(int packets);
QString FtpFailedStatus();
QString FtpSucceededStatus();
QString MailProgressStatus(qint64 bytes);
QString MailSentStatus(qint64 bytes);
// "Game downloaded from KRASSIST server at " + the time in the locale's long format + ".".
QString GameDownloadedStatus(const QTime &time, const QLocale &locale);
QString UploadCompleteText(const QString &ftpName);
QString FtpNameText(const QString &ftpName);

} // namespace GameSharing

// The debug trace: a text file under the user's data folder where the program notes
// things worth knowing when sharing fails (the local address of each download). Lines
// carry the date and time and end with CR LF. It never holds a password.
class TDebugTrace
{
public:
    // The KRASSIST_TRACE environment variable names the file; without it, the user's
    // data folder holds it.
    static QString DefaultPath();

    explicit TDebugTrace(QString path) : FPath(std::move(path)) {}

    const QString &Path() const { return FPath; }
    // Appends one line. The trace is a help, never a reason for a command to fail: a
    // line that cannot be written is dropped. Past the size limit the trace starts
    // again, keeping the previous one beside it as ".old".
    void Write(const QString &line, const QDateTime &when) const;
    // "Local IP address is " + address + ".".
    void LocalAddress(const QString &address, const QDateTime &when) const;

    static constexpr qint64 kSizeLimit = 1024 * 1024;

private:
    QString FPath;
};
