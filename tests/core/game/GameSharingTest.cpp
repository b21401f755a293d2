#include "TestSupport.h"

#include "game/GameSharing.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace GameSharing;

namespace {

QDateTime Local(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

} // namespace

TEST(FtpName, CounterAddressAndTimeStamp)
{
    const QDateTime start = Local(1899, 12, 30, 0, 0, 0);
    quint32 counter = 255;
    // Only letters and digits of the address, in order, at most 16 of them.
    EXPECT_EQ(MakeFTPName(counter, u"ann.lee-smith_99@mail.example.org"_s, start), u"GFFannleesmith99mai.dat"_s);
    EXPECT_EQ(counter, 256u);
    EXPECT_EQ(MakeFTPName(counter, u"a@b"_s, start), u"G100ab.dat"_s);
    counter = 10;
    EXPECT_EQ(MakeFTPName(counter, u"Bo@x"_s, start), u"G0ABox.dat"_s);
    counter = 0xFFFFFFFF;
    EXPECT_EQ(MakeFTPName(counter, u"é@ü.de"_s, start), u"GFFFFFFFFde.dat"_s);
    EXPECT_EQ(counter, 0u);

    // The seconds within the 3600-day period, least significant base-36 digit first.
    counter = 1;
    EXPECT_EQ(MakeFTPName(counter, u"a@b"_s, Local(1899, 12, 30, 0, 1, 0)), u"G01abyb.dat"_s);
    counter = 1;
    EXPECT_EQ(MakeFTPName(counter, u"a@b"_s, Local(2026, 3, 1, 12, 34, 56)), u"G01abikakee.dat"_s);
    EXPECT_EQ(PeriodSeconds(Local(2026, 3, 1, 12, 34, 56)), 249050096);
    // A new period starts every 3600 days; the second before one is the largest stamp.
    EXPECT_EQ(PeriodSeconds(Local(1909, 11, 8, 0, 0, 0)), 0);
    EXPECT_EQ(PeriodSeconds(Local(1899, 12, 29, 23, 59, 59)), 311039999);
    counter = 1;
    EXPECT_EQ(MakeFTPName(counter, u"a@b"_s, Local(1899, 12, 29, 23, 59, 59)), u"G01ab99xgff.dat"_s);
}

TEST(FtpName, RefusalsAndTypedNames)
{
    quint32 counter = 4;
    EXPECT_EQ(FailureOf([&] { MakeFTPName(counter, QString(), QDateTime::currentDateTime()); }),
              u"Cannot do FTP until an EMAIL name is entered via Options,User Information."_s);
    EXPECT_EQ(counter, 4u);

    EXPECT_EQ(CheckFTPName(u"  G0Aann.dat \n"_s), u"G0Aann.dat"_s);
    EXPECT_EQ(FailureOf([] { CheckFTPName(u"   "_s); }),
              u"Enter the FTP name of the game, as its first upload showed it."_s);
    for (const QString &bad : {u"../secret"_s, u"games/G0A.dat"_s, u"G0A\\x.dat"_s, u".."_s})
        EXPECT_TRUE(FailureOf([&] { CheckFTPName(bad); }).startsWith(u'"' + bad + u"\" is not the name"_s))
            << bad.toStdString();
    EXPECT_EQ(FailureOf([] { CheckFTPName(u"G0A\r\nDELE x"_s); }),
              u"\"G0A??DELE x\" is not the name of a game file on the server: an FTP name has no folders and no "
              "control characters."_s);
}

TEST(Mailing, RecipientsAndTexts)
{
    // Player order; nobody without an address; never the user.
    EXPECT_EQ(MailRecipients({u"ann@x.org"_s, u""_s, u"bob@y.net"_s, u"ann@x.org"_s, u"cy@z.com"_s}, u"ann@x.org"_s),
              QStringList({u"bob@y.net"_s, u"cy@z.com"_s}));
    EXPECT_EQ(MailRecipients({u""_s, u"bob@y.net"_s}, QString()), QStringList{u"bob@y.net"_s});
    EXPECT_TRUE(MailRecipients({u"ann@x.org"_s}, u"ann@x.org"_s).isEmpty());

    EXPECT_EQ(MissingMailFieldsText(), u"Cannot do mail operations unless all fields on the \"Options, User "
                                       "Information\" form are filled in."_s);
    EXPECT_EQ(PacketsReadStatus(3), u"Receiving game data:  3 packets read."_s);
    EXPECT_EQ(PacketsWrittenStatus(12), u"Transmitting game data:  12 packets written."_s);
    EXPECT_EQ(FtpFailedStatus(), u"FTP operation ended in error."_s);
    EXPECT_EQ(FtpSucceededStatus(), u"FTP operation successful."_s);
    EXPECT_EQ(MailProgressStatus(4096), u"Mailing game data.  4096 bytes sent."_s);
    EXPECT_EQ(MailSentStatus(55123), u"Mail message transmitted.  55123 bytes sent."_s);
    EXPECT_EQ(UploadCompleteText(u"G0Aann.dat"_s), u"Upload complete.  FTP name is G0Aann.dat."_s);
    EXPECT_EQ(FtpNameText(u"G0Aann.dat"_s), u"FTP name is G0Aann.dat."_s);
}

TEST(DebugTrace, LinesAreAppendedAndALongTraceStartsAgain)
{
    QTemporaryDir folder;
    const TDebugTrace trace(folder.filePath(u"deep/KRDebug.log"_s));
    trace.LocalAddress(u"127.0.0.1"_s, Local(2026, 3, 1, 12, 34, 56));
    trace.LocalAddress(u"::1"_s, Local(2026, 3, 1, 12, 35, 0));
    EXPECT_EQ(FileBytes(trace.Path()), QByteArray("2026-03-01 12:34:56  Local IP address is 127.0.0.1.\r\n"
                                                  "2026-03-01 12:35:00  Local IP address is ::1.\r\n"));

    const QByteArray full(TDebugTrace::kSizeLimit, 'x');
    WriteFile(trace.Path(), full);
    trace.Write(u"after"_s, Local(2026, 3, 2, 0, 0, 0));
    EXPECT_EQ(FileBytes(trace.Path()), QByteArray("2026-03-02 00:00:00  after\r\n"));
    EXPECT_EQ(FileBytes(trace.Path() + u".old"_s), full);
}
