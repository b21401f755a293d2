#pragma once

#include <QDialog>

#include <optional>

class QListWidget;
class QPushButton;

// "Select Acting Army for Next March": the places where the current player's army can
// march from; OK is open while one is chosen.
class TfrmMarch : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmMarch(const QStringList &lines, QWidget *parent = nullptr);

    std::optional<int> Choice() const;
    void Choose(int line);

    QListWidget *lstPlaces;
    QPushButton *btnOK;
};
