#include "DeviceTable.h"

void AsciiUpperCaseInPlace(std::string& text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
}

void DeviceTable::Clear()
{
    netbiosNames_.clear();
    dnsNames_.clear();
    addresses_.clear();
}

bool DeviceTable::AddIfNew(Ipv4Address address, const std::string& /*addressText*/, std::string& dnsName,
                           const std::string& /*modelText*/, std::string& netbiosName)
{
    for (int i = 0; i < Count(); ++i) {
        if (!dnsNames_[i].empty()) {
            upperCase_(dnsName);
            upperCase_(dnsNames_[i]);
            if (dnsName == dnsNames_[i]) {
                return false;
            }
        }
        if (!netbiosNames_[i].empty()) {
            upperCase_(netbiosName);
            upperCase_(netbiosNames_[i]);
            if (netbiosName == netbiosNames_[i]) {
                return false;
            }
        }
    }
    netbiosNames_.push_back(netbiosName);
    dnsNames_.push_back(dnsName);
    addresses_.push_back(address);
    return true;
}

bool DeviceTable::GetDnsName(int index, std::string& name) const
{
    if (!Valid(index)) {
        return false;
    }
    name = dnsNames_[index];
    return true;
}

bool DeviceTable::GetNetbiosName(int index, std::string& name) const
{
    if (!Valid(index)) {
        return false;
    }
    name = netbiosNames_[index];
    return true;
}

bool DeviceTable::GetAddress(int index, Ipv4Address& address) const
{
    if (!Valid(index)) {
        return false;
    }
    address = addresses_[index];
    return true;
}
