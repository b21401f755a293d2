#include "net/CurlSession.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QObject>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

std::atomic<int> RunningTransfers{0};

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Inline when there is no event loop to keep going, or when called off the thread that
// owns the application.
bool RunInline()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return !application || QThread::currentThread() != application->thread();
}

// curl_easy_perform in this libcurl waits up to a second, now and then, before it opens
// an FTP data connection (its poll sleeps without a timer set for the next step). A
// multi handle polled in short steps does the same work without the pause.
CURLcode PerformSteps(CURLM *multi, CURL *handle)
{
    constexpr int kStepMilliseconds = 20;
    if (curl_multi_add_handle(multi, handle) != CURLM_OK)
        return CURLE_FAILED_INIT;
    CURLcode result = CURLE_FAILED_INIT;
    for (bool done = false; !done;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK)
            break;
        int queued = 0;
        while (const CURLMsg *message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == handle) {
                result = message->data.result;
                done = true;
            }
        }
        if (!done && running == 0)
            break;
        if (!done && curl_multi_poll(multi, nullptr, 0, kStepMilliseconds, nullptr) != CURLM_OK)
            break;
    }
    curl_multi_remove_handle(multi, handle);
    return result;
}

} // namespace

TCurlSession::TCurlSession() : FReceiver(std::make_unique<QObject>())
{
    GlobalInit();
}

TCurlSession::~TCurlSession()
{
    if (FHandle) {
        // Nobody waits for a polite goodbye here: keep it short.
        curl_easy_setopt(FHandle, CURLOPT_SERVER_RESPONSE_TIMEOUT, 2L);
        curl_easy_cleanup(FHandle);
        curl_multi_cleanup(FMulti);
    }
}

CURL *TCurlSession::Handle()
{
    if (!FHandle) {
        FHandle = curl_easy_init();
        FMulti = curl_multi_init();
        if (!FHandle || !FMulti) {
            curl_easy_cleanup(FHandle);
            curl_multi_cleanup(FMulti);
            FHandle = nullptr;
            FMulti = nullptr;
            throw TNetError(u"The network library could not start a connection."_s);
        }
        curl_easy_setopt(FHandle, CURLOPT_ERRORBUFFER, FError);
        // Signals cannot be used from a worker thread (and the resolver runs threaded).
        curl_easy_setopt(FHandle, CURLOPT_NOSIGNAL, 1L);
    }
    return FHandle;
}

bool TCurlSession::AnyRunning()
{
    return RunningTransfers.load() > 0;
}

CURLcode TCurlSession::Run(const std::function<CURLcode()> &work)
{
    ++RunningTransfers;
    struct TDone
    {
        ~TDone() { --RunningTransfers; }
    } done;
    FInline = RunInline();
    if (FInline)
        return work();
    bool finished = false;
    CURLcode result = CURLE_OK;
    std::thread worker([&] {
        result = work();
        // Posted last, so every event of the transfer has been handled when it arrives.
        QMetaObject::invokeMethod(
            FReceiver.get(), [&finished] { finished = true; }, Qt::QueuedConnection);
    });
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    worker.join();
    return result;
}

void TCurlSession::Perform(const std::function<QString(CURLcode, const QString &)> &describe)
{
    CURL *handle = Handle();
    CURLM *multi = FMulti;
    FError[0] = 0;
    const CURLcode result = Run([multi, handle] { return PerformSteps(multi, handle); });
    if (result == CURLE_OK)
        return;
    const QString detail =
        FError[0] ? QString::fromUtf8(FError).trimmed() : QString::fromUtf8(curl_easy_strerror(result));
    throw TNetError(describe(result, detail));
}

void TCurlSession::Post(std::function<void()> event)
{
    if (FInline)
        event();
    else
        QMetaObject::invokeMethod(FReceiver.get(), std::move(event), Qt::QueuedConnection);
}

void TCurlSession::Close()
{
    if (!FHandle)
        return;
    CURL *handle = std::exchange(FHandle, nullptr);
    CURLM *multi = std::exchange(FMulti, nullptr);
    // The connection stays with the multi handle between transfers: its cleanup says
    // goodbye to the server.
    Run([multi, handle] {
        curl_easy_cleanup(handle);
        curl_multi_cleanup(multi);
        return CURLE_OK;
    });
}

void ApplyAccountOptions(CURL *handle, const TServerAccount &account, const TNetTimeouts &timeouts)
{
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, long(timeouts.ConnectSeconds));
    curl_easy_setopt(handle, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(timeouts.StallSeconds));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, long(timeouts.StallSeconds));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, long(timeouts.TotalSeconds));
    curl_easy_setopt(handle, CURLOPT_USE_SSL,
                     account.Tls == TTlsMode::WhenOffered ? long(CURLUSESSL_TRY) : long(CURLUSESSL_ALL));
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!account.CertificateFile.isEmpty()) {
        const QFileInfo file(account.CertificateFile);
        if (!file.isFile() || !file.isReadable())
            throw TNetError(u"The certificate file \"%1\" cannot be read."_s.arg(account.CertificateFile));
        // Besides the system's authorities, which libcurl keeps finding in its folder.
        curl_easy_setopt(handle, CURLOPT_CAINFO, QFile::encodeName(account.CertificateFile).constData());
    }
    if (!account.User.isEmpty()) {
        curl_easy_setopt(handle, CURLOPT_USERNAME, account.User.toUtf8().constData());
        curl_easy_setopt(handle, CURLOPT_PASSWORD, account.Password.toUtf8().constData());
    }
}

QString UrlHost(const QString &host, const QString &what)
{
    const QString trimmed = host.trimmed();
    bool valid = !trimmed.isEmpty();
    bool colon = false;
    for (const QChar c : trimmed) {
        const char16_t u = c.unicode();
        const bool plain = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
                           u == u'.' || u == u'-' || u == u'_';
        colon = colon || u == u':';
        valid = valid && (plain || u == u':');
    }
    if (!valid)
        throw TNetError(u"\"%1\" is not a server name the %2 can connect to."_s.arg(trimmed, what));
    return colon ? u'[' + trimmed + u']' : trimmed;
}

QString DescribeFailure(CURLcode code, const QString &detail, const TServerAccount &account,
                        const TNetTimeouts &timeouts, const QString &what)
{
    const QString server = u"%1 (port %2)"_s.arg(account.Host.trimmed()).arg(account.Port);
    QString text;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        text = u"The %1 server %2 is not known."_s.arg(what, server);
        break;
    case CURLE_COULDNT_CONNECT:
        text = u"The %1 server %2 does not accept connections."_s.arg(what, server);
        break;
    case CURLE_OPERATION_TIMEDOUT:
        text = u"The %1 server %2 did not answer within %3 seconds."_s.arg(what, server)
                   .arg(std::max(timeouts.ConnectSeconds, timeouts.StallSeconds));
        break;
    case CURLE_LOGIN_DENIED:
        text = u"The %1 server %2 refused the login of \"%3\": check the login name and password."_s.arg(what, server,
                                                                                                         account.User);
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        text = u"The certificate of the %1 server %2 could not be verified, so nothing was sent. For a private "
               "server, name its certificate file under Options, User Information."_s.arg(what, server);
        break;
    case CURLE_USE_SSL_FAILED:
        text = u"The %1 server %2 offers no encrypted connection, and one is required."_s.arg(what, server);
        break;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        text = u"The connection to the %1 server %2 broke off during the transfer."_s.arg(what, server);
        break;
    case CURLE_REMOTE_FILE_NOT_FOUND:
        text = u"The %1 server %2 has no such file."_s.arg(what, server);
        break;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_UPLOAD_FAILED:
        text = u"The %1 server %2 refused the request."_s.arg(what, server);
        break;
    default:
        text = u"The transfer with the %1 server %2 failed."_s.arg(what, server);
        break;
    }
    QString shown = detail;
    // libcurl never puts the password in its messages, and a server's reply could only
    // echo one; the user's own message must not carry it either way.
    if (!account.Password.isEmpty())
        shown.replace(account.Password, u"********"_s);
    return text + u" ("_s + shown + u')';
}
