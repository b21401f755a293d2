#pragma once

#include <QDateTime>

// Where the program reads the date and time, so that tests can fix it.
class TClock
{
public:
    virtual ~TClock() = default;
    virtual QDateTime Now() const = 0;
};

class TSystemClock final : public TClock
{
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

class TFixedClock final : public TClock
{
public:
    explicit TFixedClock(QDateTime moment) : FMoment(std::move(moment)) {}
    QDateTime Now() const override { return FMoment; }
    void Set(QDateTime moment) { FMoment = std::move(moment); }

private:
    QDateTime FMoment;
};
