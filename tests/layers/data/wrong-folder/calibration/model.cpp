// Reaches up into a folder its library does not link.
#include "display/strip.h"
