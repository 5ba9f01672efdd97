// Any datagram arriving on port 138: the decoded source name holds at most
// 16 characters, none of them the zero or space that end it, and each one
// comes from the two encoded bytes at its place.
#include <cstddef>
#include <cstdint>
#include <string>

#include "BrowseRequest.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string name = DecodeNetbiosSourceName(data, size);
    FUZZ_CHECK(name.size() <= 16, "a NetBIOS name longer than 16 characters");
    FUZZ_CHECK(size >= 47 || name.empty(), "a name from a datagram too short to hold one");
    for (size_t i = 0; i < name.size(); ++i) {
        const auto decoded = static_cast<uint8_t>(name[i]);
        FUZZ_CHECK(decoded != 0 && decoded != ' ', "the name runs past its end");
        const auto expected = static_cast<uint8_t>(data[15 + 2 * i] * 16 + data[16 + 2 * i] - 0x51);
        FUZZ_CHECK(decoded == expected, "a character not decoded from its two bytes");
    }
    return 0;
}
