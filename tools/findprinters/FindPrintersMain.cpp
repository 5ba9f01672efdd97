// findprinters: the printer selector's search on the command line, for
// administrators' scripts and for checking the search against real agents.
#include <iostream>

#include "ConsoleNetwork.h"
#include "DeviceLines.h"
#include "FindPrintersOptions.h"
#include "SystemClock.h"

namespace {

constexpr int kListenMilliseconds = 1000;

}  // namespace

int main(int argc, char** argv)
{
    FindPrintersOptions options;
    std::string error;
    if (!ParseFindPrintersOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "findprinters: " << error << '\n' << kFindPrintersUsage;
        return 2;
    }
    if (options.showHelp) {
        std::cout << kFindPrintersUsage;
        return 0;
    }
    if (!StartSockets()) {
        std::cerr << "findprinters: the socket library cannot be used\n";
        return 1;
    }
    auto network = MakeConsoleNetwork();
    if (!network->Open()) {
        std::cerr << "findprinters: the network search cannot run: none of the local UDP ports 1025 to 1034 is free\n";
        return 1;
    }
    if (!network->HasBrowseSocket()) {
        std::cerr << "findprinters: port 138 is in use or not allowed; NetBIOS names will not be learnt\n";
    }
    SystemClock clock;
    DiscoverySearch search;
    if (options.localAddressGiven) {
        search.BroadcastQueriesFrom(options.localAddress, *network, clock);
    } else {
        search.BroadcastQueries(*network, clock);
        if (search.LocalAddressText().empty()) {
            std::cerr << "findprinters: this computer's address is not known; nothing was sent\n";
        }
    }
    network->Listen(search, kListenMilliseconds);
    auto dns = MakeDnsResolver();
    DeviceLinePrinter printer(std::cout);
    search.MatchReplies(printer, clock, *dns);
    return 0;
}
