#include "CapabilityContainers.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {
constexpr size_t OneValueHeader = 2;      // ItemType
constexpr size_t ArrayHeader = 6;         // ItemType, NumItems
constexpr size_t EnumerationHeader = 14;  // ItemType, NumItems, CurrentIndex, DefaultIndex
constexpr size_t RangeSize = 22;          // ItemType and five 32-bit slots

// Whole part of a number, clamped so that odd values never overflow a cast.
int64_t whole(double value)
{
    if (!std::isfinite(value))
        return 0;
    if (value > 4294967295.0)
        return 4294967295LL;
    if (value < -2147483648.0)
        return -2147483648LL;
    return static_cast<int64_t>(value);
}

template <typename T>
void put(unsigned char* destination, T value)
{
    memcpy(destination, &value, sizeof value);
}

template <typename T>
T get(const unsigned char* source)
{
    T value;
    memcpy(&value, source, sizeof value);
    return value;
}

bool isIntegerType(TW_UINT16 itemType)
{
    switch (itemType) {
    case TWTY_INT8:
    case TWTY_INT16:
    case TWTY_INT32:
    case TWTY_UINT8:
    case TWTY_UINT16:
    case TWTY_UINT32:
    case TWTY_BOOL:
        return true;
    default:
        return false;
    }
}

// Writes one item into `room` bytes; an item that does not fit (a frame or
// a string in a range's 32-bit slot) is not written.
void writeItem(unsigned char* destination, size_t room, TW_UINT16 itemType, const CapabilityValue& value)
{
    unsigned char item[sizeof(TW_STR32)] = {};
    switch (itemType) {
    case TWTY_INT8:
    case TWTY_UINT8:
        put(item, static_cast<uint8_t>(whole(value.number)));
        break;
    case TWTY_INT16:
    case TWTY_UINT16:
    case TWTY_BOOL:
        put(item, static_cast<uint16_t>(whole(value.number)));
        break;
    case TWTY_INT32:
    case TWTY_UINT32:
        put(item, static_cast<uint32_t>(whole(value.number)));
        break;
    case TWTY_FIX32:
        put(item, toFix32(value.number));
        break;
    case TWTY_FRAME:
        put(item, TW_FRAME{toFix32(value.frame.left), toFix32(value.frame.top), toFix32(value.frame.right),
                           toFix32(value.frame.bottom)});
        break;
    case TWTY_STR32:
        memcpy(item, value.text, sizeof value.text);
        break;
    default:
        break;
    }
    size_t size = capabilityItemSize(itemType);
    if (size <= room)
        memcpy(destination, item, size);
}

// Reads one item of the application's type into the entry's internal form.
void readItem(const unsigned char* source, TW_UINT16 itemType, CapabilityValue& value)
{
    switch (itemType) {
    case TWTY_INT8:
        value.number = get<int8_t>(source);
        break;
    case TWTY_UINT8:
        value.number = get<uint8_t>(source);
        break;
    case TWTY_INT16:
        value.number = get<int16_t>(source);
        break;
    case TWTY_UINT16:
    case TWTY_BOOL:
        value.number = get<uint16_t>(source);
        break;
    case TWTY_INT32:
        value.number = get<int32_t>(source);
        break;
    case TWTY_UINT32:
        value.number = get<uint32_t>(source);
        break;
    case TWTY_FIX32:
        value.number = fromFix32(get<TW_FIX32>(source));
        break;
    case TWTY_FRAME: {
        TW_FRAME frame = get<TW_FRAME>(source);
        value.frame = FrameInches{fromFix32(frame.Left), fromFix32(frame.Top), fromFix32(frame.Right),
                                  fromFix32(frame.Bottom)};
        break;
    }
    case TWTY_STR32:
        memcpy(value.text, source, sizeof value.text - 1);
        value.text[sizeof value.text - 1] = '\0';
        break;
    default:
        break;
    }
}

// Applications often send a 16-bit integer type other than the one the
// capability declares (UINT16 for a BOOL, INT16 for a UINT16); any integer
// type is read as a number. Fixed point, frames and strings must match.
bool readableAs(TW_UINT16 sentType, TW_UINT16 capabilityType)
{
    if (sentType == capabilityType)
        return capabilityItemSize(sentType) != 0;
    return isIntegerType(sentType) && isIntegerType(capabilityType);
}

ContainerBytes withHeader(TW_UINT16 itemType, size_t size)
{
    ContainerBytes bytes(size, 0);
    put(bytes.data(), itemType);
    return bytes;
}

TW_UINT32 indexOf(const CapabilityEntry& entry, const CapabilityValue& value)
{
    for (size_t index = 0; index < entry.allowed.size(); ++index) {
        if (sameCapabilityValue(entry.itemType, entry.allowed[index], value))
            return static_cast<TW_UINT32>(index);
    }
    return static_cast<TW_UINT32>(entry.allowed.size());
}
}

// Rounded half away from zero, so that negative whole numbers stay whole:
// -60 is Whole -60, Frac 0 (adding 0.5 before truncating would give -59.99998).
TW_FIX32 toFix32(double value)
{
    double scaled = value * 65536.0 + (value < 0 ? -0.5 : 0.5);
    int32_t fixed = static_cast<int32_t>(whole(scaled));
    uint32_t bits = static_cast<uint32_t>(fixed);
    TW_FIX32 result;
    result.Whole = static_cast<TW_INT16>(static_cast<uint16_t>(bits >> 16));
    result.Frac = static_cast<TW_UINT16>(bits & 0xFFFF);
    return result;
}

double fromFix32(TW_FIX32 value)
{
    return value.Whole + value.Frac / 65536.0;
}

size_t capabilityItemSize(TW_UINT16 itemType)
{
    switch (itemType) {
    case TWTY_INT8:
    case TWTY_UINT8:
        return 1;
    case TWTY_INT16:
    case TWTY_UINT16:
    case TWTY_BOOL:
        return 2;
    case TWTY_INT32:
    case TWTY_UINT32:
    case TWTY_FIX32:
        return 4;
    case TWTY_FRAME:
        return sizeof(TW_FRAME);
    case TWTY_STR32:
        return sizeof(TW_STR32);
    default:
        return 0;
    }
}

ContainerBytes buildOneValue(TW_UINT16 itemType, const CapabilityValue& value)
{
    // Items of up to 32 bits sit in the low bytes of the 32-bit Item field.
    size_t itemBytes = capabilityItemSize(itemType);
    ContainerBytes bytes = withHeader(itemType, OneValueHeader + (itemBytes > 4 ? itemBytes : 4));
    writeItem(bytes.data() + OneValueHeader, bytes.size() - OneValueHeader, itemType, value);
    return bytes;
}

ContainerBytes buildEnumeration(const CapabilityEntry& entry)
{
    const CapabilityEntry& storage = capabilityStorage(entry);
    size_t itemBytes = capabilityItemSize(entry.itemType);
    ContainerBytes bytes = withHeader(entry.itemType, EnumerationHeader + itemBytes * entry.allowed.size());
    put(bytes.data() + 2, static_cast<TW_UINT32>(entry.allowed.size()));
    put(bytes.data() + 6, indexOf(entry, storage.current));
    put(bytes.data() + 10, indexOf(entry, storage.defaultValue));
    for (size_t index = 0; index < entry.allowed.size(); ++index)
        writeItem(bytes.data() + EnumerationHeader + index * itemBytes, itemBytes, entry.itemType,
                  entry.allowed[index]);
    return bytes;
}

ContainerBytes buildArray(const CapabilityEntry& entry)
{
    size_t itemBytes = capabilityItemSize(entry.itemType);
    ContainerBytes bytes = withHeader(entry.itemType, ArrayHeader + itemBytes * entry.allowed.size());
    put(bytes.data() + 2, static_cast<TW_UINT32>(entry.allowed.size()));
    for (size_t index = 0; index < entry.allowed.size(); ++index)
        writeItem(bytes.data() + ArrayHeader + index * itemBytes, itemBytes, entry.itemType, entry.allowed[index]);
    return bytes;
}

ContainerBytes buildRange(const CapabilityEntry& entry)
{
    const CapabilityEntry& storage = capabilityStorage(entry);
    ContainerBytes bytes = withHeader(entry.itemType, RangeSize);
    CapabilityValue upper, lower, step;
    if (entry.allowed.size() == 3) {
        upper = entry.allowed[0];
        lower = entry.allowed[1];
        step = entry.allowed[2];
    }
    writeItem(bytes.data() + 2, 4, entry.itemType, lower);
    writeItem(bytes.data() + 6, 4, entry.itemType, upper);
    writeItem(bytes.data() + 10, 4, entry.itemType, step);
    writeItem(bytes.data() + 14, 4, entry.itemType, storage.defaultValue);
    writeItem(bytes.data() + 18, 4, entry.itemType, storage.current);
    return bytes;
}

bool isAllowedValue(const CapabilityEntry& entry, const CapabilityValue& value)
{
    if (entry.getContainer == TWON_RANGE) {
        if (entry.allowed.size() != 3)
            return false;
        return value.number >= entry.allowed[1].number && value.number <= entry.allowed[0].number;
    }
    return indexOf(entry, value) < entry.allowed.size();
}

SetContainerRead readSetContainer(const CapabilityEntry& entry, TW_UINT16 conType, const unsigned char* bytes,
                                  size_t size, CapabilityValue& value)
{
    if (conType != TWON_ONEVALUE && conType != TWON_ENUMERATION)
        return SetContainerRead::Ignored;
    if (!bytes || size < OneValueHeader)
        return SetContainerRead::Malformed;
    TW_UINT16 sentType = get<TW_UINT16>(bytes);
    if (!readableAs(sentType, entry.itemType))
        return SetContainerRead::Malformed;
    size_t itemBytes = capabilityItemSize(sentType);
    value = CapabilityValue{};

    if (conType == TWON_ONEVALUE) {
        if (size < OneValueHeader + itemBytes)
            return SetContainerRead::Malformed;
        readItem(bytes + OneValueHeader, sentType, value);
        return SetContainerRead::Value;
    }

    // Only the first item is used, but a list that claims more items than
    // the block holds is refused as a whole.
    if (size < EnumerationHeader)
        return SetContainerRead::Malformed;
    TW_UINT32 count = get<TW_UINT32>(bytes + 2);
    if (count == 0 || count > (size - EnumerationHeader) / itemBytes)
        return SetContainerRead::Malformed;
    readItem(bytes + EnumerationHeader, sentType, value);
    return isAllowedValue(entry, value) ? SetContainerRead::Value : SetContainerRead::NotAllowed;
}
