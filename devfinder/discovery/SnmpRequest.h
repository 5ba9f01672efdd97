#pragma once
// The one SNMP message devfinder sends: a version 1 GetRequest for
// sysDescr.0, a fixed template with the community spliced in.

#include <string_view>

#include "PacketRecord.h"

inline constexpr std::string_view kCommunity = "tarnix";
inline constexpr unsigned short kSnmpPort = 161;

// False (and the record left empty) for a community too long for the
// template's one-byte lengths.
bool BuildSnmpRequest(std::string_view community, PacketRecord& request);
