#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PtrAnswer.h"

namespace {

using Bytes = std::vector<unsigned char>;

// A DNS answer for 21.1.77.10.in-addr.arpa: header, question, then the
// records (each named by a pointer to the question), written by hand.
Bytes Answer(const std::vector<std::pair<unsigned char, Bytes>>& records)
{
    Bytes out{0x12, 0x34, 0x81, 0x80, 0, 1, 0, static_cast<unsigned char>(records.size()), 0, 0, 0, 0};
    const std::string question = "\x02" "21\x01" "1\x02" "77\x02" "10\x07" "in-addr\x04" "arpa";
    out.insert(out.end(), question.begin(), question.end() + 1);
    out.insert(out.end(), {0, 12, 0, 1});
    for (const auto& [type, data] : records) {
        out.insert(out.end(), {0xC0, 12, 0, type, 0, 1, 0, 0, 0x0E, 0x10});
        out.push_back(static_cast<unsigned char>(data.size() >> 8));
        out.push_back(static_cast<unsigned char>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    }
    return out;
}

TEST(PtrAnswer, ReadsOnlyWhatFitsTheBuffer)
{
    constexpr std::size_t kBufferSize = 2048;
    const std::string name = "\x07prn-lab\x03lab\x07" "example";
    const Bytes target(name.begin(), name.end() + 1);
    const Bytes fits = Answer({{12, target}});
    // A long first record pushes the PTR record past the buffer: the
    // resolver then reports the whole length, more than it stored.
    const Bytes overflows = Answer({{16, Bytes(2100, 'x')}, {12, target}});
    const struct {
        Bytes answer;
        int reportedLength;
        int status;
        std::string label;
    } cases[] = {
        {fits, static_cast<int>(fits.size()), 0, "prn-lab"},
        {overflows, static_cast<int>(overflows.size()), -1, ""},
        {fits, -1, -1, ""},
    };
    for (const auto& c : cases) {
        // Past the buffer lies readable memory here, so a parse that strayed
        // there would find the record instead of failing.
        Bytes memory = c.answer;
        memory.resize(2 * kBufferSize, 0);
        std::string label = "stale";
        EXPECT_EQ(HostLabelFromPtrAnswer(memory.data(), kBufferSize, c.reportedLength, label), c.status);
        EXPECT_EQ(label, c.label);
    }
}

}  // namespace
