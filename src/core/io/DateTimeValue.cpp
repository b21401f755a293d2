#include "DateTimeValue.h"

#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
// Well beyond any real date, and small enough that every day count converts exactly.
constexpr double kLimitDays = 3.0e6;

} // namespace

double DateTimeToDays(const QDateTime &moment)
{
    const double days = double(kEpoch.daysTo(moment.date()));
    const double fraction = double(moment.time().msecsSinceStartOfDay()) / kMsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime DaysToDateTime(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > kLimitDays)
        return {};
    const double whole = std::trunc(days);
    qint64 ms = std::llround(std::fabs(days - whole) * kMsPerDay);
    qint64 dayCount = qint64(whole);
    if (ms >= qint64(kMsPerDay)) {
        ms -= qint64(kMsPerDay);
        ++dayCount; // the time of day always runs forward, also before the epoch
    }
    return QDateTime(kEpoch.addDays(dayCount), QTime::fromMSecsSinceStartOfDay(int(ms)));
}
