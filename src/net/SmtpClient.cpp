#include "net/SmtpClient.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

const QString kWhat = u"mail"_s;

size_t Discard(char *, size_t size, size_t count, void *)
{
    return size * count;
}

struct TProgress
{
    TCurlSession *Session = nullptr;
    TMailEvents *Events = nullptr;
    curl_off_t Last = 0;
};

int ReportProgress(void *context, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent)
{
    auto *progress = static_cast<TProgress *>(context);
    if (sent > progress->Last) {
        progress->Last = sent;
        if (TMailEvents *events = progress->Events) {
            const qint64 bytes = qint64(sent);
            progress->Session->Post([events, bytes] { events->PacketSent(bytes); });
        }
    }
    return 0;
}

bool PlainAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

// Header values never carry a line break: that would start a header of its own.
QString OneLine(const QString &text)
{
    QString line = text;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    return line.trimmed();
}

// The name this machine greets the server with.
QByteArray GreetingName()
{
    QByteArray name;
    for (const char c : QSysInfo::machineHostName().toLatin1()) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-')
            name += c;
    }
    return name.isEmpty() ? QByteArrayLiteral("localhost") : name;
}

// "Mon, 07 Dec 2026 11:30:57 +0100", in English whatever the user's language.
QString MailDate(const QDateTime &date)
{
    const int offset = date.offsetFromUtc() / 60;
    const int size = offset < 0 ? -offset : offset;
    return QLocale::c().toString(date, u"ddd, dd MMM yyyy hh:mm:ss "_s) +
           QString::asprintf("%c%02d%02d", offset < 0 ? '-' : '+', size / 60, size % 60);
}

// Every part of the message and the lists handed to libcurl, freed together.
struct TMailParts
{
    curl_mime *Mime = nullptr;
    curl_slist *Headers = nullptr;
    curl_slist *Recipients = nullptr;
    ~TMailParts()
    {
        curl_mime_free(Mime);
        curl_slist_free_all(Headers);
        curl_slist_free_all(Recipients);
    }
};

} // namespace

TCurlMailClient::TCurlMailClient(TNetTimeouts timeouts) : FTimeouts(timeouts)
{}

void TCurlMailClient::Fail(const QString &message)
{
    throw TNetError(message);
}

QByteArray TCurlMailClient::Url() const
{
    const bool implicit =
        FAccount.Tls == TTlsMode::Implicit || (FAccount.Tls == TTlsMode::WhenOffered && FAccount.Port == 465);
    return (implicit ? "smtps://" : "smtp://") + UrlHost(FAccount.Host, kWhat).toUtf8() + ':' +
           QByteArray::number(FAccount.Port) + '/' + GreetingName();
}

void TCurlMailClient::CheckAddress(const QString &address, const QString &whose)
{
    static const QString kForbidden = u"<>()[],;:\"\\"_s;
    bool valid = address.count(u'@') == 1 && !address.startsWith(u'@') && !address.endsWith(u'@');
    for (const QChar c : address)
        valid = valid && c.unicode() > 0x20 && c.unicode() < 0x7f && !kForbidden.contains(c);
    if (valid)
        return;
    QString shown = address;
    for (QChar &c : shown) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u'?';
    }
    throw TNetError(u"The EMAIL address \"%1\" of %2 cannot be used: an address has one \"@\" and no blanks, "
                    "no characters outside plain ASCII and none of <>()[],;:\"\\."_s.arg(shown, whose));
}

QByteArray TCurlMailClient::HeaderText(const QString &text)
{
    const QString line = OneLine(text);
    if (PlainAscii(line))
        return line.toLatin1();
    return "=?UTF-8?B?" + line.toUtf8().toBase64() + "?=";
}

QStringList TCurlMailClient::Headers(const TMailMessage &message, const QDateTime &date, const QString &messageId)
{
    CheckAddress(message.SenderAddress, u"the sender"_s);
    for (const QString &recipient : message.Recipients)
        CheckAddress(recipient, u"a recipient"_s);
    QString from = message.SenderAddress;
    const QString name = OneLine(message.SenderName);
    if (!name.isEmpty()) {
        QString quoted = name;
        quoted.replace(u'\\', u"\\\\"_s).replace(u'"', u"\\\""_s);
        from = (PlainAscii(name) ? u'"' + quoted + u'"' : QString::fromLatin1(HeaderText(name))) + u" <"_s +
               message.SenderAddress + u'>';
    }
    QStringList headers;
    headers << u"Date: "_s + MailDate(date);
    headers << u"From: "_s + from;
    headers << u"To: "_s + message.Recipients.join(u", "_s);
    headers << u"Subject: "_s + QString::fromLatin1(HeaderText(message.Subject));
    headers << u"Message-ID: <"_s + messageId + u'>';
    if (!message.Mailer.isEmpty())
        headers << u"X-Mailer: "_s + QString::fromLatin1(HeaderText(message.Mailer));
    return headers;
}

QByteArray TCurlMailClient::EnrichedBody(const QStringList &lines)
{
    QString text = lines.join(u'\n');
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    text.replace(u'<', u"<<"_s);
    // In enriched text n line breaks in a row show as n - 1: one more keeps each.
    QByteArray body;
    const QByteArray utf8 = text.toUtf8();
    for (qsizetype i = 0; i < utf8.size();) {
        if (utf8.at(i) != '\n') {
            body += utf8.at(i++);
            continue;
        }
        qsizetype run = 0;
        while (i < utf8.size() && utf8.at(i) == '\n') {
            ++run;
            ++i;
        }
        for (qsizetype k = 0; k <= run; ++k)
            body += "\r\n";
    }
    return body + "\r\n";
}

void TCurlMailClient::Connect()
{
    FSession.Close();
    FConnected = false;
    CURL *handle = FSession.Handle();
    TServerAccount account = FAccount;
    // A login without a password is no login: the server is one that takes mail as it comes.
    if (account.Password.isEmpty())
        account.User.clear();
    ApplyAccountOptions(handle, account, FTimeouts);
    curl_easy_setopt(handle, CURLOPT_URL, Url().constData());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Discard);
    // Greets, protects and logs in; the message that follows uses this connection.
    curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, "NOOP");
    FSession.Perform([this](CURLcode code, const QString &detail) {
        return DescribeFailure(code, detail, FAccount, FTimeouts, kWhat);
    });
    curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, nullptr);
    FConnected = true;
}

qint64 TCurlMailClient::Send()
{
    if (!FConnected)
        Fail(u"The mail connection is not open."_s);
    const TMailMessage message = std::exchange(FMessage, TMailMessage());
    if (message.Recipients.isEmpty())
        Fail(u"The message has no recipient."_s);
    const QString domain = message.SenderAddress.section(u'@', 1);
    const QStringList headers = Headers(message, QDateTime::currentDateTime(),
                                        QUuid::createUuid().toString(QUuid::WithoutBraces) + u'@' + domain);

    CURL *handle = FSession.Handle();
    TMailParts parts;
    for (const QString &header : headers)
        parts.Headers = curl_slist_append(parts.Headers, header.toUtf8().constData());
    for (const QString &recipient : message.Recipients)
        parts.Recipients = curl_slist_append(parts.Recipients, ('<' + recipient.toLatin1() + '>').constData());

    parts.Mime = curl_mime_init(handle);
    curl_mimepart *text = curl_mime_addpart(parts.Mime);
    const QByteArray body = EnrichedBody(message.Body);
    bool ascii = true;
    bool longLine = false;
    for (const QString &line : message.Body) {
        ascii = ascii && PlainAscii(line);
        longLine = longLine || line.size() > 76;
    }
    curl_mime_data(text, body.constData(), size_t(body.size()));
    curl_mime_type(text, ascii ? "text/enriched; charset=us-ascii" : "text/enriched; charset=utf-8");
    curl_mime_encoder(text, ascii && !longLine ? "7bit" : "quoted-printable");
    for (const QString &path : message.Attachments) {
        const QFileInfo file(path);
        if (!file.isFile() || !file.isReadable())
            Fail(u"Cannot read \"%1\" to attach it."_s.arg(path));
        curl_mimepart *attachment = curl_mime_addpart(parts.Mime);
        if (curl_mime_filedata(attachment, QFile::encodeName(file.absoluteFilePath()).constData()) != CURLE_OK)
            Fail(u"Cannot read \"%1\" to attach it."_s.arg(path));
        curl_mime_filename(attachment, file.fileName().toUtf8().constData());
        curl_mime_type(attachment, "application/octet-stream");
        curl_mime_encoder(attachment, "base64");
    }

    TProgress progress{&FSession, FEvents, 0};
    curl_easy_setopt(handle, CURLOPT_MAIL_FROM, ('<' + message.SenderAddress.toLatin1() + '>').constData());
    curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, parts.Recipients);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, parts.Headers);
    curl_easy_setopt(handle, CURLOPT_MIMEPOST, parts.Mime);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, ReportProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &progress);
    const auto forget = [handle] {
        curl_easy_setopt(handle, CURLOPT_MIMEPOST, nullptr);
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, nullptr);
        curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, nullptr);
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 1L);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, nullptr);
    };
    try {
        FSession.Perform([this](CURLcode code, const QString &detail) {
            return DescribeFailure(code, detail, FAccount, FTimeouts, kWhat);
        });
    } catch (...) {
        forget();
        throw;
    }
    forget();
    curl_off_t sent = 0;
    curl_easy_getinfo(handle, CURLINFO_SIZE_UPLOAD_T, &sent);
    return qint64(sent);
}

void TCurlMailClient::Disconnect()
{
    FSession.Close();
    FConnected = false;
}
