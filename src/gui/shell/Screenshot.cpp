#include "shell/Screenshot.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

bool SaveScreenshot(QWidget &window, const QString &path)
{
    // Let layouts and the first paint settle before grabbing.
    QApplication::processEvents();
    return window.grab().save(path, "PNG");
}
