#include "net/FtpClient.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace {

const QString kWhat = u"FTP"_s;

// What the callbacks share with the transfer, on the worker thread.
struct TTransferFile
{
    QFile *File = nullptr;
    TCurlSession *Session = nullptr;
    TFtpEvents *Events = nullptr;
};

size_t Discard(char *, size_t size, size_t count, void *)
{
    return size * count;
}

size_t WriteToFile(char *data, size_t size, size_t count, void *context)
{
    auto *transfer = static_cast<TTransferFile *>(context);
    const qint64 bytes = qint64(size * count);
    if (transfer->File->write(data, bytes) != bytes)
        return 0; // libcurl ends the transfer with a write error
    if (TFtpEvents *events = transfer->Events)
        transfer->Session->Post([events] { events->PacketReceived(); });
    return size_t(bytes);
}

size_t ReadFromFile(char *buffer, size_t size, size_t count, void *context)
{
    auto *transfer = static_cast<TTransferFile *>(context);
    const qint64 bytes = transfer->File->read(buffer, qint64(size * count));
    if (bytes < 0)
        return CURL_READFUNC_ABORT;
    if (bytes > 0) {
        if (TFtpEvents *events = transfer->Events)
            transfer->Session->Post([events] { events->PacketSent(); });
    }
    return size_t(bytes);
}

} // namespace

TCurlFtpClient::TCurlFtpClient(TNetTimeouts timeouts) : FTimeouts(timeouts)
{}

void TCurlFtpClient::SetAccount(const TServerAccount &account)
{
    FAccount = account;
}

QByteArray TCurlFtpClient::Url(const QString &path) const
{
    const bool implicit = FAccount.Tls == TTlsMode::Implicit;
    QByteArray url = (implicit ? "ftps://" : "ftp://") + UrlHost(FAccount.Host, kWhat).toUtf8() + ':' +
                     QByteArray::number(FAccount.Port) + '/';
    // An absolute path starts at the server's root, not at the login folder.
    if (path.startsWith(u'/'))
        url += "%2F";
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            url += '/';
        url += QUrl::toPercentEncoding(parts.at(i));
    }
    if (path.endsWith(u'/') && !parts.isEmpty())
        url += '/';
    return url;
}

QString TCurlFtpClient::RemotePath(const QString &name) const
{
    return (FDirectory.endsWith(u'/') || FDirectory.isEmpty() ? FDirectory : FDirectory + u'/') + name;
}

void TCurlFtpClient::Fail(const QString &message)
{
    if (FEvents)
        FEvents->Failure(message);
    throw TNetError(message);
}

void TCurlFtpClient::Perform(const QString &path)
{
    CURL *handle = FSession.Handle();
    curl_easy_setopt(handle, CURLOPT_TRANSFERTEXT, FType == TTransferType::Ascii ? 1L : 0L);
    try {
        curl_easy_setopt(handle, CURLOPT_URL, Url(path).constData());
        FSession.Perform([this](CURLcode code, const QString &detail) {
            return DescribeFailure(code, detail, FAccount, FTimeouts, kWhat);
        });
    } catch (const TNetError &failure) {
        Fail(failure.Message());
    }
    char *address = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_LOCAL_IP, &address) == CURLE_OK && address && *address)
        FLocalAddress = QString::fromLatin1(address);
}

void TCurlFtpClient::Connect()
{
    FSession.Close();
    FConnected = false;
    FDirectory.clear();
    CURL *handle = FSession.Handle();
    try {
        ApplyAccountOptions(handle, FAccount, FTimeouts);
    } catch (const TNetError &failure) {
        Fail(failure.Message());
    }
    // One command per folder change ("CWD /files/games"), as a person would type it.
    curl_easy_setopt(handle, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Discard);
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    // Logs in and stays: the following calls reuse this connection.
    Perform(u""_s);
    FConnected = true;
    if (FEvents)
        FEvents->Success();
}

void TCurlFtpClient::ChangeDirectory(const QString &directory)
{
    if (!FConnected)
        Fail(u"The FTP connection is not open."_s);
    CURL *handle = FSession.Handle();
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Discard);
    Perform(directory.endsWith(u'/') ? directory : directory + u'/');
    FDirectory = directory;
    if (FEvents)
        FEvents->Success();
}

void TCurlFtpClient::SetTransferType(TTransferType type)
{
    // The type goes to the server (TYPE I or TYPE A) with the next transfer.
    FType = type;
    if (FEvents)
        FEvents->Success();
}

void TCurlFtpClient::Upload(const QString &localFile, const QString &remoteName)
{
    if (!FConnected)
        Fail(u"The FTP connection is not open."_s);
    QFile file(localFile);
    if (!file.open(QIODevice::ReadOnly))
        Fail(u"Cannot read \"%1\" to upload it: %2"_s.arg(localFile, file.errorString()));
    TTransferFile transfer{&file, &FSession, FEvents};
    CURL *handle = FSession.Handle();
    curl_easy_setopt(handle, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, ReadFromFile);
    curl_easy_setopt(handle, CURLOPT_READDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Discard);
    Perform(RemotePath(remoteName));
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(handle, CURLOPT_READDATA, nullptr);
    curl_off_t sent = 0;
    curl_easy_getinfo(handle, CURLINFO_SIZE_UPLOAD_T, &sent);
    if (sent != curl_off_t(file.size()))
        Fail(u"Only %1 of the %2 bytes of \"%3\" reached the FTP server."_s.arg(sent).arg(file.size()).arg(localFile));
    if (FEvents)
        FEvents->Success();
}

void TCurlFtpClient::Download(const QString &remoteName, const QString &localFile, const TDownloadCheck &check)
{
    if (!FConnected)
        Fail(u"The FTP connection is not open."_s);
    const QFileInfo target(localFile);
    // Beside the target, so that the finished file replaces it in one step.
    QTemporaryFile part(target.absoluteFilePath() + u".download-XXXXXX"_s);
    if (!part.open())
        Fail(u"Cannot write a file beside \"%1\": %2"_s.arg(localFile, part.errorString()));
    TTransferFile transfer{&part, &FSession, FEvents};
    CURL *handle = FSession.Handle();
    curl_easy_setopt(handle, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    try {
        Perform(RemotePath(remoteName));
    } catch (...) {
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Discard);
        throw;
    }
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Discard);
    if (!part.flush())
        Fail(u"Cannot write the downloaded file beside \"%1\": %2"_s.arg(localFile, part.errorString()));
    part.close();
    if (check) {
        try {
            check(part.fileName());
        } catch (const TKrException &refusal) {
            Fail(refusal.Message());
        }
    }
    // The game file keeps the permissions it had; a new one gets the usual ones.
    part.setPermissions(target.exists() ? QFile::permissions(localFile)
                                        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(part.fileName()).toStdString()),
                            std::filesystem::path(QFile::encodeName(target.absoluteFilePath()).toStdString()), error);
    if (error)
        Fail(u"The downloaded file could not replace \"%1\": %2"_s.arg(localFile,
                                                                       QString::fromLocal8Bit(error.message())));
    part.setAutoRemove(false);
    if (FEvents)
        FEvents->Success();
}

void TCurlFtpClient::Disconnect()
{
    FSession.Close();
    const bool wasConnected = FConnected;
    FConnected = false;
    FDirectory.clear();
    if (wasConnected && FEvents)
        FEvents->Success();
}
