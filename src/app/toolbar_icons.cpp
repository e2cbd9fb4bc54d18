#include "app/toolbar_icons.h"

QIcon LumoToolbarIcon(const QString& name) {
    // Resources compiled into a static library are registered by a static
    // initializer that the linker drops unless something refers to it.
    static const bool registered = [] {
        Q_INIT_RESOURCE(toolbar);
        return true;
    }();
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/toolbar/%1.svg").arg(name));
}
