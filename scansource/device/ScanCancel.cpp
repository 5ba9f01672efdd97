#include "ScanCancel.h"

int cancelRequested = 0;
