#include "SnmpRequest.h"

#include <cstring>

namespace {

// Everything after the community: GetRequest-PDU with request-id 1, no
// error, and one VarBind of sysDescr.0 with a NULL value.
constexpr std::uint8_t kPduTemplate[] = {
    0xA0, 0x19, 0x02, 0x01, 0x01, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x0E, 0x30,
    0x0C, 0x06, 0x08, 0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x01, 0x00, 0x05, 0x00,
};

// The message length byte is L + 32 and must stay a short-form BER length.
constexpr std::size_t kLongestCommunity = 0x7F - 32;

}  // namespace

bool BuildSnmpRequest(std::string_view community, PacketRecord& request)
{
    request = PacketRecord{};
    if (community.size() > kLongestCommunity) {
        return false;
    }
    const auto communityLength = static_cast<std::uint8_t>(community.size());
    std::uint8_t* out = request.data;
    *out++ = 0x30;
    *out++ = static_cast<std::uint8_t>(communityLength + 32);
    *out++ = 0x02;
    *out++ = 0x01;
    *out++ = 0x00;
    *out++ = 0x04;
    *out++ = communityLength;
    if (communityLength > 0) {
        std::memcpy(out, community.data(), communityLength);
        out += communityLength;
    }
    std::memcpy(out, kPduTemplate, sizeof kPduTemplate);
    out += sizeof kPduTemplate;
    request.length = static_cast<std::int32_t>(out - request.data);
    return true;
}
