#include "XcvRequests.h"

namespace xcv {
namespace {

void WriteUint32(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

void WriteText(std::vector<unsigned char>& bytes, TextField field, const std::u16string& text) {
    std::size_t length = text.size() < field.units ? text.size() : field.units - 1;
    // Never leave half of a surrogate pair at the cut.
    if (length < text.size() && length > 0 && IsHighSurrogate(text[length - 1])) --length;
    for (std::size_t i = 0; i < length; ++i) {
        bytes[field.offset + 2 * i] = static_cast<unsigned char>(text[i] & 0xFF);
        bytes[field.offset + 2 * i + 1] = static_cast<unsigned char>(text[i] >> 8);
    }
    bytes[field.offset + 2 * length] = 0;
    bytes[field.offset + 2 * length + 1] = 0;
}

unsigned char ByteAt(const std::vector<unsigned char>& bytes, std::size_t offset) {
    return offset < bytes.size() ? bytes[offset] : 0;
}

}  // namespace

std::uint32_t ReadUint32(const std::vector<unsigned char>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(ByteAt(bytes, offset + i)) << (8 * i);
    return value;
}

std::u16string ReadText(const std::vector<unsigned char>& bytes, TextField field) {
    std::u16string text;
    for (std::size_t i = 0; i < field.units; ++i) {
        std::size_t at = field.offset + 2 * i;
        char16_t unit = static_cast<char16_t>(ByteAt(bytes, at) | (ByteAt(bytes, at + 1) << 8));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

std::vector<unsigned char> BuildConfigInfoRequest() {
    std::vector<unsigned char> request(kConfigInfoSize, 0);
    WriteUint32(request, kConfigInfoVersionOffset, 1);
    return request;
}

namespace {

std::vector<unsigned char> BuildAddPortRequest2(const NewRawPort& port) {
    std::vector<unsigned char> request(kPortData2Size, 0);
    WriteText(request, kPortNameField, port.portName);
    WriteUint32(request, kVersionOffset, 2);
    WriteUint32(request, kProtocolOffset, kProtocolRaw);
    WriteUint32(request, kSizeOffset, static_cast<std::uint32_t>(kPortData2Size));
    WriteText(request, kHostAddress2Field, port.hostAddress);
    WriteText(request, kSnmpCommunity2Field, port.snmpCommunity);
    WriteUint32(request, kPortNumber2Offset, port.portNumber);
    WriteUint32(request, kSnmpDeviceIndex2Offset, port.snmpDeviceIndex);
    return request;
}

}  // namespace

std::vector<unsigned char> BuildAddPortRequest(const NewRawPort& port) {
    if (port.hostAddress.size() >= kHostAddressField.units) return BuildAddPortRequest2(port);
    std::vector<unsigned char> request(kPortDataSize, 0);
    WriteText(request, kPortNameField, port.portName);
    WriteUint32(request, kVersionOffset, 1);
    WriteUint32(request, kProtocolOffset, kProtocolRaw);
    WriteUint32(request, kSizeOffset, static_cast<std::uint32_t>(kPortDataSize));
    WriteText(request, kHostAddressField, port.hostAddress);
    WriteText(request, kSnmpCommunityField, port.snmpCommunity);
    WriteUint32(request, kPortNumberOffset, port.portNumber);
    WriteUint32(request, kSnmpDeviceIndexOffset, port.snmpDeviceIndex);
    return request;
}

std::vector<unsigned char> BuildDeletePortRequest(const std::u16string& portName) {
    std::vector<unsigned char> request(kDeletePortSize, 0);
    WriteText(request, kDeletePortNameField, portName);
    WriteUint32(request, kDeletePortVersionOffset, 1);
    return request;
}

PortConfiguration ReadPortConfiguration(const std::vector<unsigned char>& answer) {
    PortConfiguration configuration;
    configuration.protocol = ReadUint32(answer, kProtocolOffset);
    configuration.hostAddress = ReadText(answer, kHostAddressField);
    configuration.ipAddress = ReadText(answer, kIpAddressField);
    return configuration;
}

}  // namespace xcv
