#include "shell/ProgramIcon.h"

using namespace Qt::StringLiterals;

QIcon ProgramIcon()
{
    // The resource is compiled into a static library: nothing pulls it in unless asked.
    Q_INIT_RESOURCE(icons);
    return QIcon(u":/icons/krassist.svg"_s);
}
