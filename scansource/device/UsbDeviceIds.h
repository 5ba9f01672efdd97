#pragma once
// USB identity of the family's scanner: the vendor and the two product ids
// the transport looks for, the primary one first.
#include <cstdint>

constexpr uint16_t kScannerVendorId = 0x7A70;
constexpr uint16_t kScannerPrimaryProductId = 0x5320;
constexpr uint16_t kScannerSecondaryProductId = 0x5310;
