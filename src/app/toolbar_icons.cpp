#include "app/toolbar_icons.h"

#include "app/app_icon.h"

QIcon LumoToolbarIcon(const QString& name) {
    InitLumoResources();
    return QIcon(QStringLiteral(":/toolbar/%1.svg").arg(name));
}
