// Reverse names: the unit name taken from any PTR answer is the text before
// its first dot (nothing when there is no dot), and the query name of the
// first four bytes as an address reads back to that address.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "ReverseName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view target(reinterpret_cast<const char*>(data), size);
    const std::string label = HostLabel(target);
    FUZZ_CHECK(label.find('.') == std::string::npos, "a host label with a dot");
    FUZZ_CHECK(target.substr(0, label.size()) == label, "a host label that is not the answer's beginning");
    const bool hasDot = target.find('.') != std::string_view::npos;
    FUZZ_CHECK(hasDot || label.empty(), "a label from an answer without any dot");
    FUZZ_CHECK(!hasDot || target[label.size()] == '.', "the label does not end at the first dot");

    if (size >= 4) {
        const Ipv4Address address = AddressFromWire(data);
        const std::string query = ReverseLookupName(address);
        const std::string expected = std::to_string(data[3]) + "." + std::to_string(data[2]) + "."
                                     + std::to_string(data[1]) + "." + std::to_string(data[0]) + ".in-addr.arpa";
        FUZZ_CHECK(query == expected, "the reverse query name does not spell the address backwards");
    }
    return 0;
}
