#include "shell/Screenshot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

using namespace Qt::StringLiterals;

bool SaveScreenshot(QWidget &window, const QString &path)
{
    // Let layouts and the first paints settle before taking the picture.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 50);

    // Without a display the window can only draw itself; on a real (or virtual) screen
    // the screen shows it as the user would see it, menus and all.
    QPixmap picture;
    QScreen *screen = window.screen();
    if (QGuiApplication::platformName() != u"offscreen"_s && screen)
        picture = screen->grabWindow(0, window.frameGeometry().x(), window.frameGeometry().y(),
                                     window.frameGeometry().width(), window.frameGeometry().height());
    if (picture.isNull())
        picture = window.grab();
    return picture.save(path, "PNG");
}
