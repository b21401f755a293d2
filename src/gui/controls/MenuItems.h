#pragma once

#include <QString>

class QAction;
class QWidget;

// A name as a menu caption shows it: an ampersand in a die's, race's or army's name is
// itself, not the mark of an access key.
QString MenuCaption(const QString &name);

// A hidden menu item loses its shortcut with it, yet a command whose item is hidden
// for want of a selection ("&Increase" on a group node) must still answer its key (with
// a beep and a word on why it cannot act). The window then hears the key in the item's
// place, for as long as the item is hidden. An item disabled on purpose should not
// have one: its key would still be taken.
void KeepShortcutWhileHidden(QAction &item, QWidget &window);
