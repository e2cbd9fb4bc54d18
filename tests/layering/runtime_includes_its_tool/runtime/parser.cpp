#include "runtime/internal/table_data.h"
#include "runtime/cli/options.h"
