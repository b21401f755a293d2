#pragma once

#include <QDialog>

// The about box: the program's name and version.
class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget *parent = nullptr);
};
