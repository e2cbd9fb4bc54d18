#pragma once

#include <QIcon>

// The Lumo icon, for windows and the About box; drawn from an SVG, so it is
// sharp at every size.
QIcon LumoAppIcon();

// Registers every resource compiled into the lumo_app library (icons,
// toolbar images, desktop files): a static library's resources are
// registered by a static initializer that the linker drops unless something
// refers to it. Cheap after the first call.
void InitLumoResources();
