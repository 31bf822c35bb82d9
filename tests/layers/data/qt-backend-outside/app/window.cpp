// The window must not know which backend it runs on, even where its library links the Qt one.
#include "ui/qt/qt_dialogs.h"
