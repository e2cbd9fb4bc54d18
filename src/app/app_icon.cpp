#include "app/app_icon.h"

// Outside any namespace, as Q_INIT_RESOURCE must be.
void InitLumoResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(lumo);
        Q_INIT_RESOURCE(toolbar);
        Q_INIT_RESOURCE(desktop);
        return true;
    }();
    Q_UNUSED(registered);
}

QIcon LumoAppIcon() {
    InitLumoResources();
    return QIcon(QStringLiteral(":/icons/lumo.svg"));
}
