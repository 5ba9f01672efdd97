#pragma once
// Replies are not parsed as SNMP; they are scanned for an OCTET STRING
// whose content starts with the family's model string. Anything malformed,
// truncated or from another kind of device simply finds nothing.

#include <string>
#include <string_view>
#include <vector>

#include "PacketRecord.h"

inline constexpr std::string_view kDiscoveryModel = "ARVEL NORVANE Vivaro 5310/20";

// The model texts of every matching OCTET STRING in the reply, in order
// (normally one). A text ends early at an embedded zero byte.
std::vector<std::string> FindModelTexts(const PacketRecord& reply, std::string_view model);

// The first of them, for a reply that stands for one device; false when
// the reply names no device of the family.
bool FindFirstModelText(const PacketRecord& reply, std::string_view model, std::string& modelText);
