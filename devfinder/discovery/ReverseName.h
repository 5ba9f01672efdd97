#pragma once
// Reverse DNS: the PTR query name of an address and the unit name taken
// from the answer.

#include <string>
#include <string_view>

#include "Ipv4Address.h"

// 192.168.5.17 -> "17.5.168.192.in-addr.arpa"
std::string ReverseLookupName(Ipv4Address address);

// The text before the first dot; a target without any dot gives an empty label.
std::string HostLabel(std::string_view ptrTarget);
