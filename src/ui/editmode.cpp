#include "editmode.h"

qint16 EditMode = 0;
