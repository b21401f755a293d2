#pragma once

#include <QIcon>

// The program's own icon, drawn at any size from the SVG the desktop's menus show
// (Qt's SVG icon engine, from the libqt6svg6 package, does the drawing).
QIcon ProgramIcon();
