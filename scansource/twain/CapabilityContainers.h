#pragma once
// The TWAIN containers of the capability answers, built as the bytes of the
// global memory block, and the value an application's MSG_SET container
// carries, read without ever looking past the block it sent.
#include <cstddef>
#include <vector>

#include "CapabilityTable.h"

TW_FIX32 toFix32(double value);
double fromFix32(TW_FIX32 value);

// Bytes of one item of the type; 0 for a type the source does not know.
size_t capabilityItemSize(TW_UINT16 itemType);

using ContainerBytes = std::vector<unsigned char>;

ContainerBytes buildOneValue(TW_UINT16 itemType, const CapabilityValue& value);
// Current and default index: the first allowed item equal to the value, or
// NumItems when none is.
ContainerBytes buildEnumeration(const CapabilityEntry& entry);
ContainerBytes buildArray(const CapabilityEntry& entry);
ContainerBytes buildRange(const CapabilityEntry& entry);

enum class SetContainerRead {
    Value,       // the value to apply
    NotAllowed,  // an enumeration whose first item is not an allowed value
    Ignored,     // a container type that sets nothing
    Malformed,   // too small, empty, or of an item type the capability cannot take
};

// The value of a MSG_SET container of the given type, `size` bytes at `bytes`.
SetContainerRead readSetContainer(const CapabilityEntry& entry, TW_UINT16 conType, const unsigned char* bytes,
                                  size_t size, CapabilityValue& value);

// True when the value is one of the entry's allowed values; for a range
// capability, when it lies between the bounds.
bool isAllowedValue(const CapabilityEntry& entry, const CapabilityValue& value);
