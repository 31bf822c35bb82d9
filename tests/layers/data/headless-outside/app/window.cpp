// The window must not know which backend it runs on.
#include "ui/headless/headless_dialogs.h"
