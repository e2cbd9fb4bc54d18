#pragma once

#include <QIcon>
#include <QString>

// A toolbar image, by name: "new", "open", "save", "help", "mode" (the Edge
// button) or "print"; the SVG is ":/toolbar/<name>.svg". Use this rather
// than the resource path alone: it makes sure the images, compiled into the
// static lumo_app library, are registered.
QIcon LumoToolbarIcon(const QString& name);
