#pragma once
// The devices of the current search, in row order: row i of the selector
// list always shows entry i.

#include <string>
#include <vector>

#include "Ipv4Address.h"

// Upper-cases a text in place. The Windows shell supplies the
// multibyte-aware conversion of the current code page; the default only
// touches ASCII letters.
using UpperCaseInPlace = void (*)(std::string& text);
void AsciiUpperCaseInPlace(std::string& text);

class DeviceTable {
public:
    explicit DeviceTable(UpperCaseInPlace upperCase = AsciiUpperCaseInPlace) : upperCase_(upperCase) {}

    void Clear();

    // Appends the device unless an earlier one has the same DNS name or the
    // same NetBIOS name, ignoring case; addresses are not compared. Names
    // that take part in a comparison are upper-cased in place, the
    // candidate's as well as the stored ones, and stay so: the caller's row
    // and later default port names show them upper-cased.
    bool AddIfNew(Ipv4Address address, const std::string& addressText, std::string& dnsName,
                  const std::string& modelText, std::string& netbiosName);

    int Count() const { return static_cast<int>(addresses_.size()); }
    bool GetDnsName(int index, std::string& name) const;
    bool GetNetbiosName(int index, std::string& name) const;
    bool GetAddress(int index, Ipv4Address& address) const;

private:
    bool Valid(int index) const { return index >= 0 && index < Count(); }

    UpperCaseInPlace upperCase_;
    std::vector<std::string> netbiosNames_;
    std::vector<std::string> dnsNames_;
    std::vector<Ipv4Address> addresses_;
};
