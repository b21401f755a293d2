#pragma once

#include "net/NetTypes.h"

#include <curl/curl.h>

#include <QString>

#include <functional>
#include <memory>

class QObject;

// One libcurl handle and the thread its transfers run on.
//
// libcurl's easy interface blocks for the whole of a transfer, and a window that asked
// for one must go on painting and answering. So each transfer runs on a worker thread
// while the calling thread, the user-interface thread, waits in a local event loop that
// handles everything except the user's input: windows repaint, timers fire and the
// window system sees a live program, but no command can start in the middle of
// another; keys and clicks wait in the queue until the transfer has ended. What the
// worker learns on the way (a packet in, a packet out, the bytes sent) is posted to the
// calling thread and handled there, in order and before the call returns, so a
// client's events reach the window on its own thread as though the transfer ran there.
// The timeouts bound every transfer and therefore every wait.
//
// The caller must not destroy a client while one of its calls is running (the event
// loop could let a window close meanwhile): owners refuse to close while busy.
// Without an application object (a command-line tool) the transfer runs on the
// calling thread instead.
class TCurlSession
{
public:
    TCurlSession();
    ~TCurlSession();
    TCurlSession(const TCurlSession &) = delete;
    TCurlSession &operator=(const TCurlSession &) = delete;

    // The handle; made anew after Close().
    CURL *Handle();
    // Runs the transfer set up on the handle; throws a TNetError built by describe
    // when it fails.
    void Perform(const std::function<QString(CURLcode, const QString &detail)> &describe);
    // From a libcurl callback (on the worker): hands the event to the calling thread.
    void Post(std::function<void()> event);
    // Ends the connection politely (QUIT) and drops the handle; bounded like a transfer.
    void Close();
    bool Open() const { return FHandle != nullptr; }
    // True while a transfer runs on any session: the window's poll waits for the next
    // round then, and a window does not close under a running transfer.
    static bool AnyRunning();

private:
    // Runs work on the worker thread while the calling thread handles its events.
    CURLcode Run(const std::function<CURLcode()> &work);

    CURL *FHandle = nullptr;
    CURLM *FMulti = nullptr;
    // The transfer under way runs on the calling thread: events need no posting.
    bool FInline = false;
    char FError[CURL_ERROR_SIZE] = {};
    std::unique_ptr<QObject> FReceiver;
};

// The options every transfer of an account shares, set once on a fresh handle:
// timeouts, TLS with verification,
// an extra certificate file, the login. Throws a TNetError when the certificate file
// named cannot be read.
void ApplyAccountOptions(CURL *handle, const TServerAccount &account, const TNetTimeouts &timeouts);

// The host part of a URL: a name or an IPv4 address as it is, an IPv6 address in
// brackets. Throws a TNetError for anything that is not a host name.
QString UrlHost(const QString &host, const QString &what);

// What a failure code means for the user, with libcurl's own detail and the server,
// never the password.
QString DescribeFailure(CURLcode code, const QString &detail, const TServerAccount &account,
                        const TNetTimeouts &timeouts, const QString &what);
