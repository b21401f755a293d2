#include "net/NetSettings.h"

#include "shell/SettingsStore.h"

using namespace Qt::StringLiterals;

namespace {

int Port(const TSettingsStore &settings, const QString &name, int defaultPort)
{
    const qint32 port = settings.ReadIntegerSetting(name, defaultPort);
    return port >= 1 && port <= 65535 ? port : defaultPort;
}

TTlsMode Tls(const TSettingsStore &settings, const QString &name)
{
    const qint32 mode = settings.ReadIntegerSetting(name, 0);
    return mode >= 0 && mode <= 2 ? TTlsMode(mode) : TTlsMode::WhenOffered;
}

} // namespace

TSharingAccounts TSharingAccounts::Load(const TSettingsStore &settings)
{
    TSharingAccounts accounts;
    accounts.MailPort = Port(settings, u"SMTP_Port"_s, kDefaultMailPort);
    accounts.MailTls = Tls(settings, u"SMTP_Security"_s);
    accounts.FtpHost = settings.ReadStringSetting(u"FTP_Host"_s, QString());
    accounts.FtpPort = Port(settings, u"FTP_Port"_s, kDefaultFtpPort);
    accounts.FtpUser = settings.ReadStringSetting(u"FTP_User"_s, QString());
    accounts.FtpTls = Tls(settings, u"FTP_Security"_s);
    accounts.CertificateFile = settings.ReadStringSetting(u"CertificateFile"_s, QString());
    return accounts;
}

void TSharingAccounts::Save(TSettingsStore &settings) const
{
    settings.WriteIntegerSetting(u"SMTP_Port"_s, MailPort);
    settings.WriteIntegerSetting(u"SMTP_Security"_s, qint32(MailTls));
    settings.WriteStringSetting(u"FTP_Host"_s, FtpHost);
    settings.WriteIntegerSetting(u"FTP_Port"_s, FtpPort);
    settings.WriteStringSetting(u"FTP_User"_s, FtpUser);
    settings.WriteIntegerSetting(u"FTP_Security"_s, qint32(FtpTls));
    settings.WriteStringSetting(u"CertificateFile"_s, CertificateFile);
}
