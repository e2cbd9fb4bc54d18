#include "app/app_icon.h"

QIcon LumoAppIcon() {
    // Resources compiled into a static library are registered by a static
    // initializer that the linker drops unless something refers to it.
    static const bool registered = [] {
        Q_INIT_RESOURCE(lumo);
        return true;
    }();
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/icons/lumo.svg"));
}
