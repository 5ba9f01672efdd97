#include "SelectorRows.h"

#include <cstdio>

std::array<int, kSelectorColumnCount> SelectorColumnWidths(int listOuterWidth)
{
    static constexpr int kSixtyFourths[kSelectorColumnCount - 1] = {6, 16, 12, 16, 16};
    std::array<int, kSelectorColumnCount> widths{};
    const int usable = listOuterWidth - 2;
    int used = 0;
    for (int column = 0; column < kSelectorColumnCount - 1; ++column) {
        widths[column] = kSixtyFourths[column] * usable / 64;
        used += widths[column];
    }
    const int rest = listOuterWidth - used - 4;
    widths[kColumnConfirm] = rest > 0 ? rest : 0;
    return widths;
}

std::string UnitNameFor(const std::string& dnsName, const std::string& netbiosName, const std::string& addressText)
{
    if (!dnsName.empty()) {
        return dnsName;
    }
    if (!netbiosName.empty()) {
        return netbiosName;
    }
    return addressText;
}

bool DefaultNameForRow(const DeviceTable& devices, int row, std::string& name)
{
    std::string dnsName;
    std::string netbiosName;
    Ipv4Address address = 0;
    if (!devices.GetDnsName(row, dnsName) || !devices.GetNetbiosName(row, netbiosName) ||
        !devices.GetAddress(row, address)) {
        return false;
    }
    char dotted[16];
    std::snprintf(dotted, sizeof dotted, "%d.%d.%d.%d", AddressByte(address, 0), AddressByte(address, 1),
                  AddressByte(address, 2), AddressByte(address, 3));
    name = UnitNameFor(dnsName, netbiosName, dotted);
    return true;
}
