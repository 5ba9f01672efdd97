#pragma once

#include "OsInfo.h"

OsInfo readOsInfo();
