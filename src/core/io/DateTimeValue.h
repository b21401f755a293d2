#pragma once

#include <QDateTime>

// Dates and times travel in our files as days since 30 December 1899, the fraction
// being the time of day (local time, no zone). Before that day the whole days count
// down while the fraction still runs forward from midnight.
double DateTimeToDays(const QDateTime &moment);

// An invalid QDateTime when the value is not finite or lies far outside any calendar
// a collector would use.
QDateTime DaysToDateTime(double days);
