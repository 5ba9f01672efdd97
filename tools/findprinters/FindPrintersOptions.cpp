#include "FindPrintersOptions.h"

const char kFindPrintersUsage[] =
    "usage: findprinters [--local ADDRESS]\n"
    "Searches the local network for the family's printers, as the printer selector does,\n"
    "and prints one line per device: unit name, address, DNS name, NetBIOS name, model\n"
    "(tab-separated). --local chooses the local address the broadcasts are derived from\n"
    "instead of the host name's first address.\n";

bool ParseFindPrintersOptions(const std::vector<std::string>& arguments, FindPrintersOptions& options,
                              std::string& error)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
        } else if (argument == "--local") {
            if (i + 1 == arguments.size()) {
                error = "--local needs an address";
                return false;
            }
            if (!ParseDotted(arguments[++i], options.localAddress)) {
                error = "not an IPv4 address: " + arguments[i];
                return false;
            }
            options.localAddressGiven = true;
        } else {
            error = "unknown argument: " + argument;
            return false;
        }
    }
    return true;
}
