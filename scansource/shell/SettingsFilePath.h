#pragma once
// "<Windows folder>\TWAIN_32\ZVP4\ZVP4T___.INI": the source's settings and
// the scanner's filter settings. The one place the path is built.
#include <string>

// Empty when the Windows folder cannot be read.
std::string settingsFilePath();
