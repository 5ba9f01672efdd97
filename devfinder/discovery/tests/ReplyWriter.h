#pragma once
// Test-only: SNMP GetResponse datagrams as an agent would send them, with
// short- or long-form BER lengths as the content needs.

#include <cstdint>
#include <string>
#include <vector>

#include "PacketRecord.h"

namespace testing_replies {

inline void AppendLength(std::vector<std::uint8_t>& out, std::size_t length)
{
    if (length < 0x80) {
        out.push_back(static_cast<std::uint8_t>(length));
    } else if (length < 0x100) {
        out.push_back(0x81);
        out.push_back(static_cast<std::uint8_t>(length));
    } else {
        out.push_back(0x82);
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(length));
    }
}

inline std::vector<std::uint8_t> Tlv(std::uint8_t tag, const std::vector<std::uint8_t>& content)
{
    std::vector<std::uint8_t> out{tag};
    AppendLength(out, content.size());
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

inline std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

inline std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

inline std::vector<std::uint8_t> SysDescrResponse(const std::string& sysDescr, const std::string& community = "tarnix")
{
    const std::vector<std::uint8_t> oid{0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x01, 0x00};
    const auto varBind = Tlv(0x30, Join({Tlv(0x06, oid), Tlv(0x04, Bytes(sysDescr))}));
    const auto pdu = Tlv(0xA2, Join({Tlv(0x02, {0x01}), Tlv(0x02, {0x00}), Tlv(0x02, {0x00}), Tlv(0x30, varBind)}));
    return Tlv(0x30, Join({Tlv(0x02, {0x00}), Tlv(0x04, Bytes(community)), pdu}));
}

inline PacketRecord Record(const std::vector<std::uint8_t>& datagram, Ipv4Address source = 0)
{
    PacketRecord record;
    record.length = static_cast<std::int32_t>(datagram.size());
    record.source = source;
    std::copy(datagram.begin(), datagram.end(), record.data);
    return record;
}

}  // namespace testing_replies
