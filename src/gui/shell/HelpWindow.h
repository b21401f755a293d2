#pragma once

#include <QDialog>

class QTextBrowser;

// The user guide that ships inside the program, shown in a window of its own.
class TfrmHelp : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmHelp(QWidget *parent = nullptr);

    // Opens the guide at a topic (1 is the contents).
    void ShowTopic(int context);
    QString DocumentTitle() const;

private:
    QTextBrowser *FBrowser;
};
