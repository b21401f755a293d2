#include "net/PasswordStore.h"

#include "shell/SettingsStore.h"

#include <qt6keychain/keychain.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

QString TSettingsPasswordStore::Read(const QString &key)
{
    return FSettings.ReadStringSetting(SettingName(key), QString());
}

void TSettingsPasswordStore::Write(const QString &key, const QString &password)
{
    if (password.isEmpty())
        FSettings.Remove(SettingName(key));
    else
        FSettings.WriteStringSetting(SettingName(key), password);
}

QString TSettingsPasswordStore::Where() const
{
    return u"the settings file, which only you can read"_s;
}

namespace {

// The outcome of a keyring job, shared with the job's handler, which may outlive a
// wait that gave up.
struct TJobResult
{
    bool Done = false;
    QKeychain::Error Error = QKeychain::NoError;
    QString Text;
};

// Runs the job, waiting for its answer in a local event loop (without the user's
// input, as the transfers wait) for at most wait milliseconds. The job deletes itself.
std::shared_ptr<TJobResult> RunJob(QKeychain::Job *job, int wait)
{
    auto result = std::make_shared<TJobResult>();
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [result, &loop](QKeychain::Job *finished) {
        result->Done = true;
        result->Error = finished->error();
        if (auto *read = qobject_cast<QKeychain::ReadPasswordJob *>(finished))
            result->Text = read->textData();
        loop.quit();
    });
    job->setAutoDelete(true);
    job->start();
    QTimer::singleShot(wait, &loop, &QEventLoop::quit);
    if (!result->Done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result;
}

} // namespace

TKeyringPasswordStore::TKeyringPasswordStore(TSettingsStore &settings, int waitMilliseconds)
    : FFallback(settings), FWait(waitMilliseconds)
{
    // A keyring needs an event loop to be asked.
    FAvailable = QCoreApplication::instance() != nullptr;
}

std::optional<QString> TKeyringPasswordStore::KeyringRead(const QString &key)
{
    auto *job = new QKeychain::ReadPasswordJob(QString::fromUtf16(kService));
    job->setKey(key);
    const auto result = RunJob(job, FWait);
    if (result->Done && result->Error == QKeychain::NoError)
        return result->Text;
    if (result->Done && result->Error == QKeychain::EntryNotFound)
        return QString();
    FAvailable = false;
    return std::nullopt;
}

bool TKeyringPasswordStore::KeyringWrite(const QString &key, const QString &password)
{
    QKeychain::Job *job = nullptr;
    if (password.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(QString::fromUtf16(kService));
    } else {
        auto *write = new QKeychain::WritePasswordJob(QString::fromUtf16(kService));
        write->setTextData(password);
        job = write;
    }
    job->setKey(key);
    const auto result = RunJob(job, FWait);
    const bool ok = result->Done && (result->Error == QKeychain::NoError ||
                                     (password.isEmpty() && result->Error == QKeychain::EntryNotFound));
    if (!ok)
        FAvailable = false;
    return ok;
}

QString TKeyringPasswordStore::Read(const QString &key)
{
    if (FAvailable) {
        const std::optional<QString> kept = KeyringRead(key);
        if (kept && !kept->isEmpty())
            return *kept;
    }
    // Kept in the settings while there was no keyring.
    return FFallback.Read(key);
}

void TKeyringPasswordStore::Write(const QString &key, const QString &password)
{
    if (FAvailable && KeyringWrite(key, password)) {
        FFallback.Write(key, QString());
        return;
    }
    FFallback.Write(key, password);
}

QString TKeyringPasswordStore::Where() const
{
    return FAvailable ? u"the system keyring"_s : FFallback.Where();
}
