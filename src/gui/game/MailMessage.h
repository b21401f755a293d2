#pragma once

#include <QDialog>

class QPlainTextEdit;

// "Enter a Brief Message": the body of a game mailed to the other players.
class TdlgMessage : public QDialog
{
    Q_OBJECT

public:
    explicit TdlgMessage(QWidget *parent = nullptr);

    QStringList Lines() const;

    QPlainTextEdit *txtMessage;
};
