#pragma once

#include "framework/geometry.h"
#include "editor/lumo_view.h"
