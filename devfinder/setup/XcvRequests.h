#pragma once
// The byte images of the Standard TCP/IP Port monitor's published request
// structures, CONFIG_INFO_DATA_1, PORT_DATA_1 and PORT_DATA_2, and
// DELETE_PORT_DATA_1, built and read without Windows headers (little-endian,
// UTF-16 texts). The Win32 layer checks these offsets against its own
// declaration of the structures.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xcv {

inline constexpr std::size_t kConfigInfoSize = 132;
inline constexpr std::size_t kConfigInfoVersionOffset = 128;

inline constexpr std::size_t kPortDataSize = 964;

// A text field: its offset and its capacity in UTF-16 units, terminator included.
struct TextField {
    std::size_t offset;
    std::size_t units;
};

inline constexpr TextField kPortNameField{0, 64};
inline constexpr std::size_t kVersionOffset = 128;
inline constexpr std::size_t kProtocolOffset = 132;
inline constexpr std::size_t kSizeOffset = 136;
inline constexpr std::size_t kReservedOffset = 140;
inline constexpr TextField kHostAddressField{144, 49};
inline constexpr TextField kSnmpCommunityField{242, 33};
inline constexpr std::size_t kDoubleSpoolOffset = 308;
inline constexpr TextField kQueueField{312, 33};
inline constexpr TextField kIpAddressField{378, 16};
inline constexpr std::size_t kPortNumberOffset = 952;
inline constexpr std::size_t kSnmpEnabledOffset = 956;
inline constexpr std::size_t kSnmpDeviceIndexOffset = 960;

// PORT_DATA_2: the same request with room for a host name of 127
// characters (a DNS label alone may have 63) and without the IP address.
inline constexpr std::size_t kPortData2Size = 1068;
inline constexpr TextField kHostAddress2Field{144, 128};
inline constexpr TextField kSnmpCommunity2Field{400, 33};
inline constexpr std::size_t kDoubleSpool2Offset = 468;
inline constexpr TextField kQueue2Field{472, 33};
inline constexpr std::size_t kPortNumber2Offset = 1052;
inline constexpr std::size_t kSnmpEnabled2Offset = 1056;
inline constexpr std::size_t kSnmpDeviceIndex2Offset = 1060;
inline constexpr std::size_t kPortMonitorMibIndex2Offset = 1064;

// DELETE_PORT_DATA_1.
inline constexpr std::size_t kDeletePortSize = 236;
inline constexpr TextField kDeletePortNameField{0, 64};
inline constexpr std::size_t kDeletePortVersionOffset = 228;

inline constexpr std::uint32_t kProtocolRaw = 1;
inline constexpr std::uint32_t kProtocolLpr = 2;

inline constexpr std::uint32_t kStatusSuccess = 0;
inline constexpr std::uint32_t kStatusAlreadyExists = 183;

inline const std::u16string kGetConfigInfo = u"GetConfigInfo";
inline const std::u16string kAddPort = u"AddPort";
inline const std::u16string kDeletePort = u"DeletePort";

// What a new raw port is created with.
struct NewRawPort {
    std::u16string portName;
    std::u16string hostAddress;
    std::u16string snmpCommunity;
    std::uint32_t portNumber = 0;
    std::uint32_t snmpDeviceIndex = 0;
};

// The fields of a port's configuration that the port lists use.
struct PortConfiguration {
    std::uint32_t protocol = 0;
    std::u16string hostAddress;
    std::u16string ipAddress;
};

// CONFIG_INFO_DATA_1: all zero except version 1.
std::vector<unsigned char> BuildConfigInfoRequest();

// The request for "AddPort": PORT_DATA_1 (version 1), or PORT_DATA_2
// (version 2) when the host address does not fit PORT_DATA_1's 48
// characters; raw, its own size. Texts longer than their field are cut so
// the terminator always fits.
std::vector<unsigned char> BuildAddPortRequest(const NewRawPort& port);

// DELETE_PORT_DATA_1 for "DeletePort": the port's name, version 1.
std::vector<unsigned char> BuildDeletePortRequest(const std::u16string& portName);

// Reads a "GetConfigInfo" answer. A short buffer reads as all zero beyond its
// end, and a text without terminator stops at its field's end.
PortConfiguration ReadPortConfiguration(const std::vector<unsigned char>& answer);

std::uint32_t ReadUint32(const std::vector<unsigned char>& bytes, std::size_t offset);
std::u16string ReadText(const std::vector<unsigned char>& bytes, TextField field);

}  // namespace xcv
