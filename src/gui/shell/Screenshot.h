#pragma once

#include <QString>

class QWidget;

// Renders the window as it stands to a PNG file; answers false when it cannot be saved.
bool SaveScreenshot(QWidget &window, const QString &path);
