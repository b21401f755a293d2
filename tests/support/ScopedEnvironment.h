#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Sets an environment variable (a null value unsets it) for the life of the object, then
// puts back what was there.
class TScopedEnvironment
{
public:
    TScopedEnvironment(const char *name, const QString &value)
        : FName(name), FHad(qEnvironmentVariableIsSet(name)), FOld(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toLocal8Bit());
    }
    ~TScopedEnvironment()
    {
        if (FHad)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }
    TScopedEnvironment(const TScopedEnvironment &) = delete;
    TScopedEnvironment &operator=(const TScopedEnvironment &) = delete;

private:
    const char *FName;
    bool FHad;
    QByteArray FOld;
};
