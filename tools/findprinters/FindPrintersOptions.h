#pragma once
// Command line of findprinters.
#include <string>
#include <vector>

#include "Ipv4Address.h"

struct FindPrintersOptions {
    bool localAddressGiven = false;
    Ipv4Address localAddress = 0;
    bool showHelp = false;
};

// False with a message in error for a command line that cannot be used.
bool ParseFindPrintersOptions(const std::vector<std::string>& arguments, FindPrintersOptions& options,
                              std::string& error);

extern const char kFindPrintersUsage[];
