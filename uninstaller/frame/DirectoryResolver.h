#pragma once

#include "OsInfo.h"
#include "PathParts.h"

// Resolves a directory code to a path. Never fails: a directory that
// cannot be found comes back empty.
PathSpec resolveDirectoryCode(int code, const OsInfo& os);
