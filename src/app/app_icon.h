#pragma once

#include <QIcon>

// The Lumo icon, for windows and the About box; drawn from an SVG, so it is
// sharp at every size.
QIcon LumoAppIcon();
