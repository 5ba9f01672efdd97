#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "CapabilityContainers.h"
#include "CapabilityTable.h"
#include "FakeSourcePlatform.h"
#include "PaperSizes.h"
#include "ScanParameters.h"
#include "SourceContext.h"
#include "SourceDispatch.h"

namespace {
using Bytes = std::vector<unsigned char>;

template <typename T>
T read(const Bytes& bytes, size_t offset)
{
    T value;
    memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

template <typename T>
void write(Bytes& bytes, size_t offset, T value)
{
    if (bytes.size() < offset + sizeof value)
        bytes.resize(offset + sizeof value);
    memcpy(bytes.data() + offset, &value, sizeof value);
}

Bytes oneValue(TW_UINT16 itemType, const void* item, size_t itemBytes)
{
    Bytes bytes;
    write(bytes, 0, itemType);
    bytes.resize(2 + (itemBytes > 4 ? itemBytes : 4));
    memcpy(bytes.data() + 2, item, itemBytes);
    return bytes;
}

Bytes oneUint16(TW_UINT16 value) { return oneValue(TWTY_UINT16, &value, 2); }
Bytes oneInt16(TW_INT16 value) { return oneValue(TWTY_INT16, &value, 2); }

Bytes oneFix32(double value)
{
    TW_FIX32 fixed = toFix32(value);
    return oneValue(TWTY_FIX32, &fixed, 4);
}

Bytes enumeration(TW_UINT16 itemType, const std::vector<Bytes>& items, TW_UINT32 count)
{
    Bytes bytes(14, 0);
    write(bytes, 0, itemType);
    write(bytes, 2, count);
    for (const Bytes& item : items)
        bytes.insert(bytes.end(), item.begin(), item.end());
    return bytes;
}

Bytes enumUint16(TW_UINT16 first)
{
    return enumeration(TWTY_UINT16, {Bytes{static_cast<unsigned char>(first & 0xff), static_cast<unsigned char>(first >> 8)}, Bytes{9, 0}}, 2);
}

Bytes enumFix32(double first)
{
    TW_FIX32 fixed = toFix32(first);
    Bytes item(4);
    memcpy(item.data(), &fixed, 4);
    return enumeration(TWTY_FIX32, {item}, 1);
}

double fix32At(const Bytes& bytes, size_t offset) { return fromFix32(read<TW_FIX32>(bytes, offset)); }

// The scan settings a session starts from: every value distinct from the
// capability defaults, so that the copy at open is visible.
ScanParameters openingSettings()
{
    ScanParameters parameters;
    parameters.resolution = 300;
    parameters.pixelType = PIXEL_TYPE_GREY;
    parameters.invert = 1;
    parameters.brightness = -10;
    parameters.contrast = 5;
    parameters.highlight = 200;
    parameters.shadow = 20;
    parameters.transferMechanism = TWSX_MEMORY;
    parameters.descreen = 1;
    parameters.jpegQuality = TWJQ_HIGH;
    parameters.paperSize = 0;
    parameters.left = 100;
    parameters.top = 200;
    parameters.right = 3000;
    parameters.bottom = 4000;
    return parameters;
}

bool sameSettings(const ScanParameters& a, const ScanParameters& b)
{
    return a.resolution == b.resolution && a.pixelType == b.pixelType && a.invert == b.invert &&
           a.brightness == b.brightness && a.contrast == b.contrast && a.highlight == b.highlight &&
           a.shadow == b.shadow && a.threshold == b.threshold && a.left == b.left && a.top == b.top &&
           a.right == b.right && a.bottom == b.bottom && a.transferMechanism == b.transferMechanism &&
           a.paperSize == b.paperSize && a.descreen == b.descreen && a.jpegQuality == b.jpegQuality;
}

class Capability : public ::testing::Test {
protected:
    FakeSourcePlatform platform;
    TW_IDENTITY application{};
    TW_IDENTITY source{};

    void SetUp() override
    {
        resetSourceContext();
        setSourcePlatform(&platform);
        currentScanParameters() = openingSettings();
        application.Id = 7;
        application.ProtocolMajor = 1;
        application.ProtocolMinor = 9;
        source.Id = 42;
    }

    void TearDown() override
    {
        EXPECT_EQ(platform.lockedBlocks(), 0);
        DestroyCapabilityTable();
        setSourcePlatform(nullptr);
    }

    void open()
    {
        ASSERT_EQ(dispatchTwainCall(TwainRequest{&application, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source}),
                  TWRC_SUCCESS);
    }

    TW_UINT16 call(TW_UINT16 msg, TW_CAPABILITY& capability)
    {
        return dispatchTwainCall(TwainRequest{&application, DG_CONTROL, DAT_CAPABILITY, msg, &capability});
    }

    TW_UINT16 status()
    {
        TW_STATUS answer{0xdead, 0xbeef};
        dispatchTwainCall(TwainRequest{&application, DG_CONTROL, DAT_STATUS, MSG_GET, &answer});
        return answer.ConditionCode;
    }

    // The container the source hands out, copied and freed as an application would.
    Bytes get(TW_UINT16 capId, TW_UINT16 msg = MSG_GET, TW_UINT16* conType = nullptr)
    {
        TW_CAPABILITY capability{capId, TWON_DONTCARE16, nullptr};
        EXPECT_EQ(call(msg, capability), TWRC_SUCCESS) << std::hex << capId;
        EXPECT_EQ(status(), TWCC_SUCCESS);
        if (conType)
            *conType = capability.ConType;
        if (!capability.hContainer)
            return {};
        Bytes bytes = platform.blockBytes(capability.hContainer);
        platform.freeGlobal(capability.hContainer);
        return bytes;
    }

    // The current value of a 16-bit or FIX32 capability, as a number.
    double current(TW_UINT16 capId)
    {
        Bytes bytes = get(capId, MSG_GETCURRENT);
        TW_UINT16 type = read<TW_UINT16>(bytes, 0);
        if (type == TWTY_FIX32)
            return fix32At(bytes, 2);
        if (type == TWTY_INT16)
            return read<TW_INT16>(bytes, 2);
        return read<TW_UINT16>(bytes, 2);
    }

    // Sends a container with MSG_SET; answers the return code, the
    // application keeps (and here frees) its block.
    TW_UINT16 set(TW_UINT16 capId, TW_UINT16 conType, const Bytes& container)
    {
        TW_HANDLE handle = platform.makeBlock(container.data(), container.size());
        TW_CAPABILITY capability{capId, conType, handle};
        TW_UINT16 answer = call(MSG_SET, capability);
        EXPECT_EQ(TW_HANDLE(capability.hContainer), handle);
        EXPECT_EQ(platform.blockBytes(handle), container) << "the application's container was written";
        platform.freeGlobal(handle);
        return answer;
    }
};

struct TableRow {
    TW_UINT16 capId;
    TW_UINT16 itemType;
    TW_UINT16 getContainer;
    TW_UINT16 operations;
    std::vector<double> allowed;
    double defaultValue;
    double currentAtOpen;
};

constexpr TW_UINT16 RO = CapabilityOperationsReadOnly;
constexpr TW_UINT16 All = CapabilityOperationsAll;
const std::vector<double> paperSizes = {1, 5, 2, 3, 4, 70, 71, 52, 0};

// Row by row, in search order; current values at open follow openingSettings().
const std::vector<TableRow> table = {
    {CAP_SUPPORTEDCAPS, TWTY_UINT16, TWON_ARRAY, RO, {}, 0, 0},
    {CAP_FEEDERENABLED, TWTY_BOOL, TWON_ONEVALUE, All, {1}, 0, 0},
    {ICAP_PIXELFLAVOR, TWTY_UINT16, TWON_ENUMERATION, All, {0, 1}, 0, 1},
    {ICAP_PIXELFLAVORCODES, TWTY_UINT16, TWON_ENUMERATION, All, {0, 1}, 0, 0},
    {ICAP_XFERMECH, TWTY_UINT16, TWON_ENUMERATION, All, {0, 1, 2}, 0, 2},
    {ICAP_PLANARCHUNKY, TWTY_UINT16, TWON_ENUMERATION, RO, {0, 1}, 0, 0},
    {ICAP_COMPRESSION, TWTY_UINT16, TWON_ENUMERATION, All, {0}, 0, 0},
    {ICAP_MINIMUMWIDTH, TWTY_FIX32, TWON_ONEVALUE, RO, {}, 1.0, 1.0},
    {ICAP_MINIMUMHEIGHT, TWTY_FIX32, TWON_ONEVALUE, RO, {}, 1.0, 1.0},
    {ICAP_PHYSICALWIDTH, TWTY_FIX32, TWON_ONEVALUE, RO, {}, 8.5, 8.5},
    {ICAP_PHYSICALHEIGHT, TWTY_FIX32, TWON_ONEVALUE, RO, {}, 14.0, 14.0},
    {ICAP_UNITS, TWTY_UINT16, TWON_ENUMERATION, All, {0, 1, 5}, 0, 0},
    {CAP_DEVICEONLINE, TWTY_BOOL, TWON_ONEVALUE, RO, {1, 0}, 1, 1},
    {CAP_AUTOFEED, TWTY_BOOL, TWON_ONEVALUE, RO, {1, 0}, 1, 1},
    {ICAP_IMAGEFILTER, TWTY_BOOL, TWON_ONEVALUE, RO, {1, 0}, 0, 1},
    {CAP_FEEDERLOADED, TWTY_BOOL, TWON_ONEVALUE, RO, {0, 1}, 0, 0},
    {ICAP_AUTOBRIGHT, TWTY_BOOL, TWON_ONEVALUE, All, {1, 0}, 0, 0},
    {ICAP_BRIGHTNESS, TWTY_FIX32, TWON_RANGE, All, {60, -60, 1}, 0, -10},
    {ICAP_CONTRAST, TWTY_FIX32, TWON_RANGE, All, {35, -35, 1}, 0, 5},
    {ICAP_HIGHLIGHT, TWTY_FIX32, TWON_RANGE, All, {255, 0, 1}, 128, 200},
    {ICAP_ORIENTATION, TWTY_UINT16, TWON_ENUMERATION, All, {0, 1, 2, 3}, 0, 0},
    {ICAP_SHADOW, TWTY_FIX32, TWON_RANGE, All, {255, 0, 1}, 128, 20},
    {ICAP_XSCALING, TWTY_FIX32, TWON_ENUMERATION, All, {100}, 100, 100},
    {ICAP_YSCALING, TWTY_FIX32, TWON_ENUMERATION, All, {100}, 100, 100},
    {0x9000, TWTY_UINT16, TWON_ENUMERATION, All, {1}, 1, 1},
    {0x9001, TWTY_UINT16, TWON_ENUMERATION, All, {8}, 8, 8},
    {0x9002, TWTY_UINT16, TWON_ENUMERATION, All, {24}, 24, 24},
    {ICAP_PIXELTYPE, TWTY_UINT16, TWON_ENUMERATION, All, {0, 1, 2}, 2, 1},
    {ICAP_BITDEPTHREDUCTION, TWTY_UINT16, TWON_ENUMERATION, All, {0, 1, 3}, 0, 0},
    {ICAP_BITORDER, TWTY_UINT16, TWON_ENUMERATION, RO, {1, 0}, 1, 1},
    {ICAP_THRESHOLD, TWTY_INT16, TWON_RANGE, All, {7, 1, 4}, 1, 1},
    {ICAP_HALFTONES, TWTY_STR32, TWON_ENUMERATION, All, {0, 0}, 0, 0},
    {ICAP_FRAMES, TWTY_FRAME, TWON_ONEVALUE, All, {}, 0, 0},
    {ICAP_MAXFRAMES, TWTY_UINT16, TWON_ONEVALUE, RO, {}, 1, 1},
    {0x1154, TWTY_UINT16, TWON_ENUMERATION, All, paperSizes, 3, 3},
    {0x1155, TWTY_UINT16, TWON_ENUMERATION, All, paperSizes, 3, 3},
    {ICAP_XNATIVERESOLUTION, TWTY_FIX32, TWON_ONEVALUE, RO, {}, 100, 100},
    {ICAP_YNATIVERESOLUTION, TWTY_FIX32, TWON_ONEVALUE, RO, {}, 100, 100},
    {ICAP_XRESOLUTION, TWTY_FIX32, TWON_ENUMERATION, All, {150, 300, 600}, 150, 300},
    {ICAP_YRESOLUTION, TWTY_FIX32, TWON_ENUMERATION, All, {150, 300, 600}, 150, 300},
    {CAP_XFERCOUNT, TWTY_INT16, TWON_ONEVALUE, All, {}, -1, -1},
    {ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWON_ENUMERATION, All, {2}, 2, 2},
    {ICAP_UNDEFINEDIMAGESIZE, TWTY_BOOL, TWON_ONEVALUE, All, {0, 1}, 0, 0},
    {CAP_INDICATORS, TWTY_BOOL, TWON_ONEVALUE, All, {1, 0}, 1, 1},
    {CAP_UICONTROLLABLE, TWTY_BOOL, TWON_ONEVALUE, RO, {1, 0}, 1, 1},
    {0x1153, TWTY_INT16, TWON_ONEVALUE, All, {-3, -2, -1}, -2, -1},
};
}

TEST_F(Capability, TableHoldsEveryRowInSearchOrderAndAnswersItsValues)
{
    open();
    ASSERT_EQ(table.size(), static_cast<size_t>(CapabilityEntryCount));
    for (size_t index = 0; index < table.size(); ++index) {
        const TableRow& row = table[index];
        SCOPED_TRACE(testing::Message() << "row " << index << " cap 0x" << std::hex << row.capId);
        const CapabilityEntry* entry = FindCapability(row.capId);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->itemType, row.itemType);
        EXPECT_EQ(entry->getContainer, row.getContainer);
        EXPECT_EQ(entry->valueContainer, row.capId == CAP_SUPPORTEDCAPS ? TWON_ARRAY : TWON_ONEVALUE);
        EXPECT_EQ(entry->operations, row.operations);
        if (row.capId != CAP_SUPPORTEDCAPS && row.itemType != TWTY_STR32) {
            EXPECT_EQ(capabilityAllowedNumbers(row.capId), row.allowed);
        }

        TW_CAPABILITY query{row.capId, 0, nullptr};
        ASSERT_EQ(call(MSG_QUERYSUPPORT, query), TWRC_SUCCESS);
        EXPECT_EQ(query.ConType, TWON_ONEVALUE);
        Bytes support = platform.blockBytes(query.hContainer);
        platform.freeGlobal(query.hContainer);
        EXPECT_EQ(read<TW_UINT16>(support, 0), TWTY_UINT32);
        EXPECT_EQ(read<TW_UINT32>(support, 2), row.operations);

        TW_UINT16 conType = 0;
        Bytes got = get(row.capId, MSG_GET, &conType);
        EXPECT_EQ(conType, row.getContainer);
        EXPECT_EQ(read<TW_UINT16>(got, 0), row.itemType);
        if (row.itemType == TWTY_STR32 || row.itemType == TWTY_FRAME || row.capId == CAP_SUPPORTEDCAPS)
            continue;
        Bytes defaultValue = get(row.capId, MSG_GETDEFAULT, &conType);
        EXPECT_EQ(conType, TWON_ONEVALUE);
        EXPECT_EQ(defaultValue.size(), 6u);
        double defaultNumber = row.itemType == TWTY_FIX32 ? fix32At(defaultValue, 2)
                               : row.itemType == TWTY_INT16 ? read<TW_INT16>(defaultValue, 2)
                                                            : read<TW_UINT16>(defaultValue, 2);
        EXPECT_EQ(defaultNumber, row.defaultValue);
        EXPECT_EQ(current(row.capId), row.currentAtOpen);
    }
    EXPECT_EQ(FindCapability(0), nullptr) << "the spare slots are never found";
    EXPECT_EQ(capabilityPrintWidth(ICAP_BRIGHTNESS), 3);
    EXPECT_EQ(capabilityPrintWidth(ICAP_CONTRAST), 3);
    EXPECT_EQ(capabilityPrintWidth(ICAP_THRESHOLD), 0);
}

TEST_F(Capability, ContainersCarryTheirBytes)
{
    open();
    // The supported list: 46 ids in the product's order.
    TW_UINT16 conType = 0;
    Bytes supported = get(CAP_SUPPORTEDCAPS, MSG_GETCURRENT, &conType);
    EXPECT_EQ(conType, TWON_ARRAY);
    ASSERT_EQ(read<TW_UINT32>(supported, 2), 46u);
    ASSERT_EQ(supported.size(), 6u + 46 * 2);
    EXPECT_EQ(read<TW_UINT16>(supported, 6), CAP_SUPPORTEDCAPS);
    EXPECT_EQ(read<TW_UINT16>(supported, 6 + 14 * 2), ICAP_FILTER);
    EXPECT_EQ(read<TW_UINT16>(supported, 6 + 45 * 2), 0x1153);

    // Enumeration of FIX32 items with both indices.
    Bytes resolutions = get(ICAP_XRESOLUTION);
    ASSERT_EQ(resolutions.size(), 14u + 3 * 4);
    EXPECT_EQ(read<TW_UINT32>(resolutions, 2), 3u);
    EXPECT_EQ(read<TW_UINT32>(resolutions, 6), 1u);   // current 300
    EXPECT_EQ(read<TW_UINT32>(resolutions, 10), 0u);  // default 150
    EXPECT_EQ(fix32At(resolutions, 14 + 8), 600.0);

    // The range's bounds, step, default and current, each in a 32-bit slot.
    Bytes brightness = get(ICAP_BRIGHTNESS);
    ASSERT_EQ(brightness.size(), 22u);
    TW_FIX32 minimum = read<TW_FIX32>(brightness, 2);
    EXPECT_EQ(minimum.Whole, -60);
    EXPECT_EQ(minimum.Frac, 0);
    EXPECT_EQ(fix32At(brightness, 6), 60.0);
    EXPECT_EQ(fix32At(brightness, 10), 1.0);
    EXPECT_EQ(fix32At(brightness, 14), 0.0);
    EXPECT_EQ(fix32At(brightness, 18), -10.0);
    Bytes threshold = get(ICAP_THRESHOLD);
    EXPECT_EQ(read<TW_UINT32>(threshold, 2), 1u);
    EXPECT_EQ(read<TW_UINT32>(threshold, 6), 7u);
    EXPECT_EQ(read<TW_UINT32>(threshold, 10), 4u);

    // 16-bit items fill the low half of Item only.
    Bytes transferCount = get(CAP_XFERCOUNT, MSG_GETCURRENT);
    EXPECT_EQ(read<TW_UINT32>(transferCount, 2), 0xFFFFu);

    Bytes frame = get(ICAP_FRAMES, MSG_GETCURRENT);
    ASSERT_EQ(frame.size(), 2u + 16);
    EXPECT_EQ(fix32At(frame, 2), 0.0);
    EXPECT_EQ(fix32At(frame, 10), 8.5);
    EXPECT_EQ(read<TW_FIX32>(frame, 10).Frac, 0x8000);
    EXPECT_EQ(fix32At(frame, 14), 14.0);

    Bytes halftone = get(ICAP_HALFTONES, MSG_GETDEFAULT);
    ASSERT_EQ(halftone.size(), 2u + 34);
    EXPECT_STREQ(reinterpret_cast<const char*>(halftone.data() + 2), "FLOYD/STEINBURG");
    Bytes halftones = get(ICAP_HALFTONES);
    ASSERT_EQ(halftones.size(), 14u + 2 * 34);
    EXPECT_EQ(read<TW_UINT32>(halftones, 6), 0u);
    EXPECT_STREQ(reinterpret_cast<const char*>(halftones.data() + 14 + 34), "ORDERED");
}

TEST_F(Capability, Fix32ConversionRoundsHalfAwayFromZeroBothWays)
{
    struct Case {
        double value;
        TW_INT16 whole;
        TW_UINT16 frac;
    };
    for (const Case& c : {Case{1.0, 1, 0}, Case{8.5, 8, 0x8000}, Case{-60, -60, 0}, Case{-0.5, -1, 0x8000},
                          Case{0.1, 0, 6554}, Case{-35, -35, 0}, Case{255, 255, 0}}) {
        TW_FIX32 fixed = toFix32(c.value);
        EXPECT_EQ(fixed.Whole, c.whole) << c.value;
        EXPECT_EQ(fixed.Frac, c.frac) << c.value;
    }
    EXPECT_EQ(fromFix32(TW_FIX32{-1, 0x8000}), -0.5);
    EXPECT_EQ(fromFix32(TW_FIX32{300, 0}), 300.0);
}

TEST_F(Capability, ValueOutsideTheListTakenAsOneValueGivesIndexNumItems)
{
    open();
    ASSERT_EQ(set(ICAP_XRESOLUTION, TWON_ONEVALUE, oneFix32(200)), TWRC_SUCCESS);
    EXPECT_EQ(currentScanParameters().resolution, 200);
    Bytes resolutions = get(ICAP_YRESOLUTION);
    EXPECT_EQ(read<TW_UINT32>(resolutions, 6), 3u);
    EXPECT_EQ(read<TW_UINT32>(resolutions, 10), 0u);
}

TEST_F(Capability, RedirectionsFollowPixelTypeAndFeeder)
{
    open();
    for (TW_UINT16 pixelType : {TWPT_BW, TWPT_GRAY, TWPT_RGB}) {
        ASSERT_EQ(set(ICAP_PIXELTYPE, TWON_ONEVALUE, oneUint16(pixelType)), TWRC_SUCCESS);
        Bytes depth = get(ICAP_BITDEPTH);
        ASSERT_EQ(read<TW_UINT32>(depth, 2), 1u);
        EXPECT_EQ(read<TW_UINT16>(depth, 14), pixelType == TWPT_BW ? 1 : pixelType == TWPT_GRAY ? 8 : 24);
        EXPECT_EQ(bitDepthForPixelType(pixelType), read<TW_UINT16>(depth, 14));
    }

    // Tell the two size lists apart by their current values.
    ASSERT_EQ(set(0x1154, TWON_ONEVALUE, oneUint16(TWSS_A4LETTER)), TWRC_SUCCESS);
    EXPECT_EQ(read<TW_UINT32>(get(ICAP_SUPPORTEDSIZES), 6), 3u);  // flatbed: US letter
    ASSERT_EQ(set(CAP_FEEDERENABLED, TWON_ONEVALUE, oneValue(TWTY_BOOL, "\1\0", 2)), TWRC_SUCCESS);
    EXPECT_TRUE(feederEnabled());
    EXPECT_EQ(read<TW_UINT32>(get(ICAP_SUPPORTEDSIZES), 6), 0u);  // feeder: A4
}

TEST_F(Capability, FeederLoadedAsksTheScannerOnlyWhileTheFeederIsEnabled)
{
    open();
    platform.feederStatusAnswer = 0;
    EXPECT_EQ(current(CAP_FEEDERLOADED), 0);
    EXPECT_EQ(platform.count("feeder status"), 0);

    setFeederEnabled(true);
    EXPECT_EQ(current(CAP_FEEDERLOADED), 1);
    platform.feederStatusAnswer = 1;
    EXPECT_EQ(current(CAP_FEEDERLOADED), 0);
    EXPECT_EQ(platform.count("feeder status"), 2);
}

TEST_F(Capability, RefusalsAndTheirConditionCodesForOldAndNewApplications)
{
    struct Case {
        TW_UINT16 protocolMinor;
        TW_UINT16 capId;
        TW_UINT16 msg;
        int feederMissing;
        TW_UINT16 conditionCode;
    };
    const Case cases[] = {
        {9, ICAP_GAMMA, MSG_GET, 0, TWCC_CAPUNSUPPORTED},
        {9, ICAP_FILTER, MSG_QUERYSUPPORT, 0, TWCC_CAPUNSUPPORTED},
        {9, ICAP_XRESOLUTION, MSG_GETFIRST, 0, TWCC_CAPUNSUPPORTED},
        {9, ICAP_XRESOLUTION, MSG_GETNEXT, 0, TWCC_CAPUNSUPPORTED},
        {9, ICAP_PHYSICALWIDTH, MSG_SET, 0, TWCC_CAPBADOPERATION},
        {9, ICAP_BITORDER, MSG_RESET, 0, TWCC_CAPBADOPERATION},
        {9, CAP_FEEDERENABLED, MSG_GET, 1, TWCC_CAPUNSUPPORTED},
        {5, ICAP_PHYSICALWIDTH, MSG_SET, 0, TWCC_BADCAP},
        {5, ICAP_GAMMA, MSG_GET, 0, TWCC_BADCAP},
        {5, CAP_FEEDERENABLED, MSG_GETCURRENT, 1, TWCC_BADCAP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cap 0x" << std::hex << c.capId << " msg " << c.msg);
        application.ProtocolMinor = c.protocolMinor;
        open();
        platform.feederMissingAnswer = c.feederMissing;
        Bytes value = oneFix32(9.0);
        TW_HANDLE handle = platform.makeBlock(value.data(), value.size());
        TW_CAPABILITY capability{c.capId, TWON_ONEVALUE, handle};
        EXPECT_EQ(call(c.msg, capability), TWRC_FAILURE);
        EXPECT_EQ(TW_HANDLE(capability.hContainer), handle);
        EXPECT_EQ(status(), c.conditionCode);
        platform.freeGlobal(handle);
        EXPECT_TRUE(platform.blocks.empty());
        dispatchTwainCall(TwainRequest{&application, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source});
    }
}

TEST_F(Capability, NothingAnswersOutsideAnOpenSessionAndMemoryShortageIsReported)
{
    TW_CAPABILITY capability{CAP_FEEDERENABLED, 0, nullptr};
    EXPECT_EQ(call(MSG_GET, capability), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_CAPUNSUPPORTED);
    EXPECT_EQ(platform.count("feeder missing"), 0);

    open();
    platform.allocationFails = true;
    capability = TW_CAPABILITY{ICAP_XRESOLUTION, 0, nullptr};
    EXPECT_EQ(call(MSG_GET, capability), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_LOWMEMORY);
    EXPECT_EQ(TW_HANDLE(capability.hContainer), nullptr);
    application.ProtocolMinor = 5;
    EXPECT_EQ(call(MSG_QUERYSUPPORT, capability), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_LOWMEMORY);

    dispatchTwainCall(TwainRequest{&application, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source});
    EXPECT_FALSE(capabilityTableBuilt());
    EXPECT_EQ(FindCapability(ICAP_XRESOLUTION), nullptr);
}

TEST_F(Capability, SetChangesTheScanSettingsAsEachCapabilityDefines)
{
    using Check = std::function<int(const ScanParameters&)>;
    struct Case {
        const char* name;
        TW_UINT16 capId;
        TW_UINT16 conType;
        Bytes container;
        Check field;
        int expected;
    };
    const Check pixelType = [](const ScanParameters& p) { return p.pixelType; };
    const Check resolution = [](const ScanParameters& p) { return p.resolution; };
    const Check highlight = [](const ScanParameters& p) { return p.highlight; };
    const Check shadow = [](const ScanParameters& p) { return p.shadow; };
    const Check mechanism = [](const ScanParameters& p) { return p.transferMechanism; };
    const Check invert = [](const ScanParameters& p) { return p.invert; };
    const Check brightness = [](const ScanParameters& p) { return p.brightness; };
    const Check contrast = [](const ScanParameters& p) { return p.contrast; };
    const Check threshold = [](const ScanParameters& p) { return p.threshold; };
    const Check quality = [](const ScanParameters& p) { return p.jpegQuality; };
    const ScanParameters before = openingSettings();
    const std::vector<Case> cases = {
        {"pixel type by one value", ICAP_PIXELTYPE, TWON_ONEVALUE, oneUint16(TWPT_BW), pixelType, 0},
        {"pixel type by enumeration", ICAP_PIXELTYPE, TWON_ENUMERATION, enumUint16(TWPT_RGB), pixelType,
         before.pixelType},
        {"resolution outside the list", ICAP_XRESOLUTION, TWON_ONEVALUE, oneFix32(200.9), resolution, 200},
        {"resolution by enumeration", ICAP_XRESOLUTION, TWON_ENUMERATION, enumFix32(600), resolution, 600},
        {"resolution not allowed", ICAP_XRESOLUTION, TWON_ENUMERATION, enumFix32(200), resolution,
         before.resolution},
        {"Y resolution has no effect", ICAP_YRESOLUTION, TWON_ONEVALUE, oneFix32(600), resolution,
         before.resolution},
        {"highlight truncated", ICAP_HIGHLIGHT, TWON_ONEVALUE, oneFix32(99.75), highlight, 99},
        {"highlight by enumeration", ICAP_HIGHLIGHT, TWON_ENUMERATION, enumFix32(128), highlight, 128},
        {"shadow", ICAP_SHADOW, TWON_ONEVALUE, oneFix32(-3.5), shadow, -3},
        {"transfer mechanism", ICAP_XFERMECH, TWON_ONEVALUE, oneUint16(TWSX_FILE), mechanism, 1},
        {"transfer mechanism by enumeration", ICAP_XFERMECH, TWON_ENUMERATION, enumUint16(TWSX_NATIVE), mechanism,
         0},
        {"pixel flavor", ICAP_PIXELFLAVOR, TWON_ONEVALUE, oneUint16(0), invert, 0},
        {"JPEG quality", 0x1153, TWON_ONEVALUE, oneInt16(TWJQ_LOW), quality, TWJQ_LOW},
        {"brightness changes nothing", ICAP_BRIGHTNESS, TWON_ONEVALUE, oneFix32(40), brightness, before.brightness},
        {"contrast changes nothing", ICAP_CONTRAST, TWON_ONEVALUE, oneFix32(-20), contrast, before.contrast},
        {"threshold changes nothing", ICAP_THRESHOLD, TWON_ONEVALUE, oneInt16(5), threshold, before.threshold},
        {"a range sets nothing", ICAP_HIGHLIGHT, TWON_RANGE, Bytes(22, 0), highlight, before.highlight},
        {"an array sets nothing", ICAP_XFERMECH, TWON_ARRAY, Bytes(8, 0), mechanism, before.transferMechanism},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        currentScanParameters() = before;
        open();
        ASSERT_EQ(set(c.capId, c.conType, c.container), TWRC_SUCCESS);
        EXPECT_EQ(status(), TWCC_SUCCESS);
        EXPECT_EQ(c.field(currentScanParameters()), c.expected);
        // Stored back: the capability answers what the scan will use.
        EXPECT_EQ(current(ICAP_PIXELTYPE), currentScanParameters().pixelType);
        EXPECT_EQ(current(ICAP_YRESOLUTION), currentScanParameters().resolution);
        EXPECT_EQ(current(ICAP_HIGHLIGHT), currentScanParameters().highlight);
        EXPECT_EQ(current(0x1153), currentScanParameters().jpegQuality);
        dispatchTwainCall(TwainRequest{&application, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source});
    }
}

TEST_F(Capability, ResetTouchesOnlyTheCapabilityUntilTheNextSet)
{
    open();
    ASSERT_EQ(set(ICAP_PIXELTYPE, TWON_ONEVALUE, oneUint16(TWPT_BW)), TWRC_SUCCESS);
    TW_CAPABILITY capability{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(call(MSG_RESET, capability), TWRC_SUCCESS);
    EXPECT_EQ(platform.blockBytes(capability.hContainer), oneUint16(TWPT_RGB));
    platform.freeGlobal(capability.hContainer);
    EXPECT_EQ(current(ICAP_PIXELTYPE), TWPT_RGB);
    EXPECT_EQ(currentScanParameters().pixelType, TWPT_BW);

    ASSERT_EQ(set(ICAP_ORIENTATION, TWON_ONEVALUE, oneUint16(2)), TWRC_SUCCESS);
    EXPECT_EQ(current(ICAP_ORIENTATION), 0);
    EXPECT_EQ(current(ICAP_PIXELTYPE), TWPT_BW);

    // The Y entry shares the X value: resetting it resets both.
    capability = TW_CAPABILITY{ICAP_YRESOLUTION, 0, nullptr};
    ASSERT_EQ(call(MSG_RESET, capability), TWRC_SUCCESS);
    platform.freeGlobal(capability.hContainer);
    EXPECT_EQ(current(ICAP_XRESOLUTION), 150);

    setFeederEnabled(true);
    capability = TW_CAPABILITY{CAP_FEEDERENABLED, 0, nullptr};
    ASSERT_EQ(call(MSG_RESET, capability), TWRC_SUCCESS);
    platform.freeGlobal(capability.hContainer);
    EXPECT_FALSE(feederEnabled());
}

TEST_F(Capability, PaperSizesSetTheFrameCentredForTheFeederAtTheEdgeForTheGlass)
{
    struct Case {
        TW_UINT16 capId;
        TW_UINT16 paperSize;
        ScanFrame frame;
        bool feeder = false;
    };
    const ScanParameters before = openingSettings();
    const Case cases[] = {
        {0x1154, TWSS_A4LETTER, {557, 0, 40242, 56126}},
        {0x1155, TWSS_A4LETTER, {0, 0, 39685, 56126}},
        {0x1154, TWSS_USLETTER, {0, 0, 40800, 52800}},
        {0x1155, TWSS_USLETTER, {0, 0, 40800, 52800}},
        {ICAP_SUPPORTEDSIZES, TWSS_USLEGAL, {0, 0, 40800, 67200}},
        // Only a request that names 0x1154 centres, even while the feeder is on.
        {ICAP_SUPPORTEDSIZES, TWSS_A4LETTER, {0, 0, 39685, 56126}, true},
        {0x1155, TWSS_NONE, {before.left, before.top, before.right, before.bottom}},
        {0x1155, 69, {before.left, before.top, before.right, before.bottom}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cap 0x" << std::hex << c.capId << std::dec << " size " << c.paperSize);
        currentScanParameters() = before;
        open();
        setFeederEnabled(c.feeder);
        ASSERT_EQ(set(c.capId, TWON_ONEVALUE, oneUint16(c.paperSize)), TWRC_SUCCESS);
        const ScanParameters& p = currentScanParameters();
        EXPECT_EQ(p.paperSize, c.paperSize);
        EXPECT_EQ(p.left, c.frame.left);
        EXPECT_EQ(p.top, c.frame.top);
        EXPECT_EQ(p.right, c.frame.right);
        EXPECT_EQ(p.bottom, c.frame.bottom);
        TW_UINT16 answered = c.capId != ICAP_SUPPORTEDSIZES ? c.capId : c.feeder ? 0x1154 : 0x1155;
        EXPECT_EQ(current(answered), c.paperSize);
        dispatchTwainCall(TwainRequest{&application, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source});
    }
}

TEST_F(Capability, PaperTableKeepsItsRowsAndTheFirstMatchWins)
{
    EXPECT_EQ(PaperSizeTable[0].id, 1);
    EXPECT_EQ(PaperSizeTable[46].id, 2);  // the duplicate B5 row
    EXPECT_EQ(PaperSizeTable[68].id, 71);
    EXPECT_EQ(findPaperSize(2), &PaperSizeTable[1]);
    EXPECT_EQ(findPaperSize(TWSS_NONE), nullptr);
    EXPECT_EQ(findPaperSize(8), nullptr);
    for (const PaperSizeRecord& record : PaperSizeTable)
        EXPECT_EQ(record.reserved, 0);
}

TEST_F(Capability, ThresholdClassesMapBothWays)
{
    const int values[] = {90, 120, 140, 160, 175, 180, 200};
    for (int level = 1; level <= 7; ++level) {
        EXPECT_EQ(thresholdForLevel(level), values[level - 1]);
        EXPECT_EQ(levelForThreshold(values[level - 1]), level);
    }
    EXPECT_EQ(thresholdForLevel(0), 0);
    EXPECT_EQ(thresholdForLevel(8), 0);
    EXPECT_EQ(levelForThreshold(127), 4);
}

TEST_F(Capability, MalformedContainersAreRefusedWithoutHarm)
{
    struct Case {
        const char* name;
        TW_UINT16 capId;
        TW_UINT16 conType;
        Bytes container;
    };
    TW_STR32 text = "ORDERED";
    Bytes enumNoItems = enumUint16(TWPT_BW);
    write(enumNoItems, 2, TW_UINT32{0});
    Bytes enumTooMany = enumUint16(TWPT_BW);
    write(enumTooMany, 2, TW_UINT32{0x40000000});
    const std::vector<Case> cases = {
        {"string for a 16-bit value", ICAP_PIXELTYPE, TWON_ONEVALUE, oneValue(TWTY_STR32, text, sizeof text)},
        {"fixed point for a 16-bit value", ICAP_XFERMECH, TWON_ONEVALUE, oneFix32(1)},
        {"16-bit for fixed point", ICAP_XRESOLUTION, TWON_ONEVALUE, oneUint16(300)},
        {"unknown item type", ICAP_PIXELTYPE, TWON_ONEVALUE, oneValue(0x99, "\0\0", 2)},
        {"one value cut short", ICAP_PIXELTYPE, TWON_ONEVALUE, Bytes{TWTY_UINT16, 0, 0}},
        {"one byte", ICAP_PIXELTYPE, TWON_ONEVALUE, Bytes{TWTY_UINT16}},
        {"string cut short", ICAP_HALFTONES, TWON_ONEVALUE, oneValue(TWTY_STR32, text, 8)},
        {"enumeration without items", ICAP_XFERMECH, TWON_ENUMERATION, enumNoItems},
        {"enumeration claiming more items than sent", ICAP_XFERMECH, TWON_ENUMERATION, enumTooMany},
        {"enumeration header cut short", ICAP_XFERMECH, TWON_ENUMERATION, Bytes(10, 0)},
        {"pixel type no bitmap can hold", ICAP_PIXELTYPE, TWON_ONEVALUE, oneUint16(7)},
    };
    open();
    const ScanParameters before = currentScanParameters();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(set(c.capId, c.conType, c.container), TWRC_FAILURE);
        EXPECT_EQ(status(), TWCC_BADVALUE);
        EXPECT_TRUE(sameSettings(currentScanParameters(), before));
        EXPECT_EQ(current(ICAP_PIXELTYPE), before.pixelType);
    }

    int notABlock = 0;
    for (TW_HANDLE handle : {static_cast<TW_HANDLE>(nullptr), static_cast<TW_HANDLE>(&notABlock)}) {
        TW_CAPABILITY capability{ICAP_PIXELTYPE, TWON_ONEVALUE, handle};
        EXPECT_EQ(call(MSG_SET, capability), TWRC_FAILURE);
        EXPECT_EQ(status(), TWCC_BADVALUE);
    }
    EXPECT_EQ(dispatchTwainCall(TwainRequest{&application, DG_CONTROL, DAT_CAPABILITY, MSG_GET, nullptr}),
              TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_TRUE(sameSettings(currentScanParameters(), before));
}

TEST_F(Capability, ScanParametersTravelBetweenTheCurrentValuesAndTheScan)
{
    open();
    setCurrentResolution(600);
    setCurrentPixelType(TWPT_BW);
    setCurrentBrightness(12);
    setCurrentContrast(-7);
    setCurrentHighlight(250);
    setCurrentShadow(3);
    setCurrentPixelFlavor(0);
    setCurrentTransferMechanism(TWSX_FILE);
    setCurrentImageFilter(false);
    setCurrentJpegQuality(TWJQ_LOW);
    loadScanParameters();
    const ScanParameters& p = currentScanParameters();
    EXPECT_EQ(p.resolution, 600);
    EXPECT_EQ(p.pixelType, TWPT_BW);
    EXPECT_EQ(p.brightness, 12);
    EXPECT_EQ(p.contrast, -7);
    EXPECT_EQ(p.highlight, 250);
    EXPECT_EQ(p.shadow, 3);
    EXPECT_EQ(p.invert, 0);
    EXPECT_EQ(p.transferMechanism, TWSX_FILE);
    EXPECT_EQ(p.descreen, 0);
    EXPECT_EQ(p.jpegQuality, TWJQ_LOW);
    EXPECT_EQ(current(ICAP_YRESOLUTION), 600);

    currentScanParameters() = openingSettings();
    storeScanParameters();
    EXPECT_EQ(currentResolution(), 300);
    EXPECT_EQ(currentPixelType(), TWPT_GRAY);
    EXPECT_EQ(currentBrightness(), -10);
    EXPECT_TRUE(currentImageFilter());
    EXPECT_EQ(currentJpegQuality(), TWJQ_HIGH);
    EXPECT_EQ(capabilityRange(ICAP_CONTRAST).lower, -35);
    EXPECT_EQ(supportedPaperSizes(true).size(), 9u);
}
