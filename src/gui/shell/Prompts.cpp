#include "shell/Prompts.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

void TDialogPrompts::Warning(QWidget *parent, const QString &caption, const QString &text)
{
    // Whatever the program was busy with, the user must be able to click OK.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox::warning(parent, caption, text, QMessageBox::Ok);
    QGuiApplication::restoreOverrideCursor();
}

void TDialogPrompts::Beep()
{
    QApplication::beep();
}
