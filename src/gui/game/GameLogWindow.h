#pragma once

#include "game/GameData.h"

#include <QWidget>

class QListWidget;

// "Game Log": the game's log lines in a window that stays on top, following the log
// line by line and showing its last line.
class TfrmGameLog : public QWidget, public TGameLogView
{
    Q_OBJECT

public:
    explicit TfrmGameLog(QWidget *parent = nullptr);

    void ShowLines(const QStringList &lines) override;
    void AddLine(const QString &line) override;
    void ShowLastLine();
    QStringList Lines() const;

    QListWidget *lstLog;

signals:
    void Closing();

protected:
    void closeEvent(QCloseEvent *event) override;
};
