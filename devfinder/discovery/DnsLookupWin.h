#pragma once
// Reverse look-ups through the Windows DNS client, and the code-page
// conversions of names found on the network.
#include "SearchPorts.h"

// The DNS client has no time limit of its own, so each query runs on a
// thread of its own while the caller dispatches its window messages; a
// query still unanswered when the time is up is left to end by itself.
class WindowsDnsResolver : public DnsResolver {
public:
    int LookUpDnsName(Ipv4Address address, std::string& hostLabel, int timeoutMilliseconds) override;
};

// Upper case in place with the current code page's multibyte rules.
void CodePageUpperCaseInPlace(std::string& text);
// A NetBIOS name from the OEM code page into the ANSI code page.
void OemToAnsiCodePageInPlace(std::string& text);
