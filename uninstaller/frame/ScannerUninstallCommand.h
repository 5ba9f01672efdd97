#pragma once

#include <string>

// The scanner driver registers its own uninstall program under the
// Uninstall key of its product GUID.
std::string scannerUninstallKey(const std::string& productGuid);

// The registered command with the switches that make it run unattended.
std::string scannerUninstallCommand(const std::string& uninstallString);
