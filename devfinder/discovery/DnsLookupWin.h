#pragma once
// Reverse look-ups through the Windows DNS client.
#include "SearchPorts.h"

class WindowsDnsResolver : public DnsResolver {
public:
    int LookUpDnsName(Ipv4Address address, std::string& hostLabel) override;
};

// Upper case in place with the current code page's multibyte rules.
void CodePageUpperCaseInPlace(std::string& text);
