#include "TestSupport.h"
#include "io/DateTimeValue.h"

#include <gtest/gtest.h>

#include <limits>

TEST(DateTimeValue, DaysSinceTheEndOf1899)
{
    const QDate epoch(1899, 12, 30);
    EXPECT_EQ(DateTimeToDays(QDateTime(epoch, QTime(0, 0))), 0.0);
    EXPECT_EQ(DateTimeToDays(QDateTime(epoch, QTime(12, 0))), 0.5);
    EXPECT_EQ(DateTimeToDays(QDateTime(QDate(2023, 3, 15), QTime(18, 0))), 45000.75);
    // Before the epoch the days count down but the time of day still counts up.
    EXPECT_EQ(DateTimeToDays(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);

    EXPECT_EQ(DaysToDateTime(45000.75), QDateTime(QDate(2023, 3, 15), QTime(18, 0)));
    EXPECT_EQ(DaysToDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    EXPECT_EQ(DaysToDateTime(-0.5), QDateTime(epoch, QTime(12, 0)));
    // A time a hair before midnight rounds to the next day, before the epoch too.
    EXPECT_EQ(DaysToDateTime(1.9999999999), QDateTime(QDate(1900, 1, 1), QTime(0, 0)));
    EXPECT_EQ(DaysToDateTime(-1.9999999999), QDateTime(epoch, QTime(0, 0)));

    const QDateTime moment(QDate(2026, 12, 6), QTime(23, 30, 15, 250));
    EXPECT_EQ(DaysToDateTime(DateTimeToDays(moment)), moment);

    EXPECT_FALSE(DaysToDateTime(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_FALSE(DaysToDateTime(std::numeric_limits<double>::infinity()).isValid());
    EXPECT_FALSE(DaysToDateTime(1e300).isValid());
}
