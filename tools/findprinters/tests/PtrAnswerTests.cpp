#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "PtrAnswer.h"

namespace {

// Test-only writer of DNS answers: a header, one question and the records given.
class DnsMessage {
public:
    explicit DnsMessage(int answers)
    {
        bytes_ = {0x12, 0x34, 0x81, 0x80, 0, 1, 0, static_cast<std::uint8_t>(answers), 0, 0, 0, 0};
        Name("21.1.77.10.in-addr.arpa");
        Short(12);
        Short(1);
    }

    void Record(std::uint16_t type, const std::vector<std::uint8_t>& data)
    {
        bytes_.push_back(0xC0);  // the question's name
        bytes_.push_back(12);
        Short(type);
        Short(1);
        bytes_.insert(bytes_.end(), {0, 0, 0x0E, 0x10});
        Short(static_cast<std::uint16_t>(data.size()));
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }

    static std::vector<std::uint8_t> EncodedName(const std::string& name)
    {
        DnsMessage scratch;
        scratch.Name(name);
        return scratch.bytes_;
    }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    DnsMessage() = default;

    void Short(std::uint16_t value)
    {
        bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
        bytes_.push_back(static_cast<std::uint8_t>(value));
    }

    void Name(const std::string& name)
    {
        std::size_t start = 0;
        while (start < name.size()) {
            const std::size_t dot = name.find('.', start);
            const std::size_t end = dot == std::string::npos ? name.size() : dot;
            bytes_.push_back(static_cast<std::uint8_t>(end - start));
            bytes_.insert(bytes_.end(), name.begin() + static_cast<long>(start), name.begin() + static_cast<long>(end));
            start = end + 1;
        }
        bytes_.push_back(0);
    }

    std::vector<std::uint8_t> bytes_;
};

TEST(PtrAnswer, ReadsOnlyWhatFitsTheBuffer)
{
    constexpr std::size_t kBufferSize = 2048;
    DnsMessage fits(1);
    fits.Record(12, DnsMessage::EncodedName("prn-lab.lab.example"));
    // A long first record pushes the PTR record past the buffer's end: the
    // resolver then reports the whole length, more than it stored.
    DnsMessage overflows(2);
    overflows.Record(16, std::vector<std::uint8_t>(2100, 'x'));
    overflows.Record(12, DnsMessage::EncodedName("beyond.the.buffer"));

    struct Case {
        const char* name;
        std::vector<std::uint8_t> answer;
        int reportedLength;
        int status;
        std::string label;
    };
    const Case cases[] = {
        {"an answer that fits", fits.Bytes(), static_cast<int>(fits.Bytes().size()), 0, "prn-lab"},
        {"an answer longer than the buffer", overflows.Bytes(), static_cast<int>(overflows.Bytes().size()), -1, ""},
        {"a failed query", fits.Bytes(), -1, -1, ""},
    };
    for (const Case& c : cases) {
        // What lies past the buffer is still readable memory here, so a
        // parse that strays there would find the record instead of failing.
        std::vector<std::uint8_t> memory = c.answer;
        memory.resize(2 * kBufferSize, 0);
        std::string label = "stale";
        EXPECT_EQ(HostLabelFromPtrAnswer(memory.data(), kBufferSize, c.reportedLength, label), c.status) << c.name;
        EXPECT_EQ(label, c.label) << c.name;
    }
}

}  // namespace
