#include "app/appglobals.h"

PlatWindow MainWindow;
