#include "controls/MenuItems.h"

#include <QAction>
#include <QWidget>

using namespace Qt::StringLiterals;

QString MenuCaption(const QString &name)
{
    QString text = name;
    return text.replace(u'&', u"&&"_s);
}

void KeepShortcutWhileHidden(QAction &item, QWidget &window)
{
    auto *stand = new QAction(&item);
    stand->setObjectName(item.objectName() + u"Key"_s);
    stand->setShortcut(item.shortcut());
    stand->setShortcutContext(item.shortcutContext());
    window.addAction(stand);
    // Only one of the two may hold the key at a time, or Qt finds it ambiguous and
    // neither acts. (A hidden item also reads as disabled; one disabled on purpose
    // ignores the trigger.)
    const auto follow = [stand, &item] {
        stand->setShortcut(item.shortcut());
        stand->setEnabled(!item.isVisible());
    };
    follow();
    QObject::connect(&item, &QAction::changed, stand, follow);
    QObject::connect(stand, &QAction::triggered, &item, &QAction::trigger);
}
