#include "ReverseName.h"

std::string ReverseLookupName(Ipv4Address address)
{
    std::string name;
    for (int position = 3; position >= 0; --position) {
        name += std::to_string(AddressByte(address, position));
        name += '.';
    }
    return name + "in-addr.arpa";
}

std::string HostLabel(std::string_view ptrTarget)
{
    const auto dot = ptrTarget.find('.');
    if (dot == std::string_view::npos) {
        return std::string();
    }
    return std::string(ptrTarget.substr(0, dot));
}
