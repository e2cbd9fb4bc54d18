#include "model/grammar.h"
