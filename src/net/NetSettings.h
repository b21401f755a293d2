#pragma once

#include "net/NetTypes.h"

class TSettingsStore;

// The servers of the game sharing as the user set them, besides the mail server and
// login that the user information keeps ("SMTP_Host", "SMTP_User"). Passwords are not
// here: a TPasswordStore keeps them.
struct TSharingAccounts
{
    static constexpr int kDefaultMailPort = 587;
    static constexpr int kDefaultFtpPort = 21;

    int MailPort = kDefaultMailPort;
    TTlsMode MailTls = TTlsMode::WhenOffered;
    QString FtpHost;
    int FtpPort = kDefaultFtpPort;
    QString FtpUser;
    TTlsMode FtpTls = TTlsMode::WhenOffered;
    QString CertificateFile;

    // Values missing, of another type or out of range read as the defaults.
    static TSharingAccounts Load(const TSettingsStore &settings);
    void Save(TSettingsStore &settings) const;

    bool operator==(const TSharingAccounts &) const = default;
};

// What the user edits about the servers: the accounts and their two passwords.
struct TSharingSettings
{
    TSharingAccounts Accounts;
    QString MailPassword;
    QString FtpPassword;

    bool operator==(const TSharingSettings &) const = default;
};
