#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The one base of every failure the program raises on purpose. The guarded block of
// each command catches it and shows Message() to the user; what() is only for
// code that speaks std::exception.
class TKrException : public std::exception
{
public:
    explicit TKrException(QString message)
        : FMessage(std::move(message)), FUtf8(FMessage.toUtf8())
    {
    }

    const QString &Message() const noexcept { return FMessage; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};
