#pragma once
// The selector list's columns and what a device row shows.

#include <array>
#include <string>

#include "DeviceTable.h"

enum SelectorColumn {
    kColumnEnabled = 0,
    kColumnUnitName = 1,
    kColumnAddress = 2,
    kColumnPortName = 3,
    kColumnPrinterName = 4,
    kColumnConfirm = 5,
    kSelectorColumnCount = 6,
};

// Shares of (outer width - 2) in 64ths; the last column gets what is left,
// which with these shares is nothing (never negative).
std::array<int, kSelectorColumnCount> SelectorColumnWidths(int listOuterWidth);

// DNS label, else NetBIOS name, else the dotted address.
std::string UnitNameFor(const std::string& dnsName, const std::string& netbiosName, const std::string& addressText);

// The name proposed for a new port and queue, from the device table; false
// for a row the table does not hold.
bool DefaultNameForRow(const DeviceTable& devices, int row, std::string& name);
