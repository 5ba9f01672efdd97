#include <gtest/gtest.h>

#include "ReplyScan.h"
#include "ReplyWriter.h"

namespace {

using namespace testing_replies;

const std::string kModel(kDiscoveryModel);

std::vector<std::string> Scan(const std::vector<std::uint8_t>& datagram)
{
    return FindModelTexts(Record(datagram), kDiscoveryModel);
}

TEST(ReplyScan, ModelFollowedByFirmwareTextMatchesWithTheWholeText)
{
    const auto texts = Scan(SysDescrResponse(kModel + " FW 2.14"));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], kModel + " FW 2.14");
}

TEST(ReplyScan, ExactModelMatchesButOtherCaseOrOtherFamilyDoesNot)
{
    EXPECT_EQ(Scan(SysDescrResponse(kModel)).size(), 1u);
    EXPECT_TRUE(Scan(SysDescrResponse("ARVEL NORVANE VIVARO 5310/20")).empty());
    EXPECT_TRUE(Scan(SysDescrResponse("ARVEL NORVANE Vivaro 4100")).empty());
    EXPECT_TRUE(Scan(SysDescrResponse(kModel.substr(0, kModel.size() - 1))).empty());
}

TEST(ReplyScan, LongFormLengthNeverMatches)
{
    EXPECT_TRUE(Scan(SysDescrResponse(kModel + std::string(128 - kModel.size(), 'x'))).empty());
    EXPECT_TRUE(Scan(SysDescrResponse(kModel + std::string(300, 'x'))).empty());
    EXPECT_EQ(Scan(SysDescrResponse(kModel + std::string(127 - kModel.size(), 'x'))).size(), 1u);
}

TEST(ReplyScan, StringClaimingMoreBytesThanTheDatagramHoldsDoesNotMatch)
{
    auto datagram = SysDescrResponse(kModel + " tail");
    const std::size_t fullLength = datagram.size();
    datagram.resize(fullLength - 1);
    EXPECT_TRUE(Scan(datagram).empty());

    // The bound is strict: the last content byte must lie inside the reply.
    auto exact = Bytes("\x04");
    exact.push_back(static_cast<std::uint8_t>(kModel.size()));
    const auto model = Bytes(kModel);
    exact.insert(exact.end(), model.begin(), model.end());
    EXPECT_EQ(Scan(exact).size(), 1u);
    exact.pop_back();
    EXPECT_TRUE(Scan(exact).empty());
}

TEST(ReplyScan, EmbeddedZeroEndsTheModelText)
{
    std::string descr = kModel + " A";
    descr += '\0';
    descr += "hidden";
    const auto texts = Scan(SysDescrResponse(descr));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], kModel + " A");
}

TEST(ReplyScan, ScanResumesAfterTheLengthByteSoNestedStringsAreSeen)
{
    // An OCTET STRING whose content starts with another tag and length: the
    // scan does not skip the content, so the inner string is found too.
    std::vector<std::uint8_t> inner = Tlv(0x04, Bytes(kModel));
    const auto outer = Tlv(0x04, inner);
    const auto texts = Scan(Join({outer, Bytes("pad")}));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], kModel);
}

TEST(ReplyScan, EmptyNegativeAndOversizedLengthsAreSafe)
{
    PacketRecord record = Record(SysDescrResponse(kModel));
    record.length = 0;
    EXPECT_TRUE(FindModelTexts(record, kDiscoveryModel).empty());
    record.length = -5;
    EXPECT_TRUE(FindModelTexts(record, kDiscoveryModel).empty());
    record.length = 5000;  // clamped to the buffer; must not read past it
    EXPECT_EQ(FindModelTexts(record, kDiscoveryModel).size(), 1u);
}

TEST(ReplyScan, TwoMatchingStringsInOneReplyGiveTwoTexts)
{
    const auto texts = Scan(Join({Tlv(0x04, Bytes(kModel + "1")), Tlv(0x04, Bytes(kModel + "2")), Bytes("xx")}));
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], kModel + "2");
}

}  // namespace

namespace {

// Whatever arrives on the sockets is scanned or decoded: random datagrams of
// every length must never read outside the record and only ever yield texts
// that start with the model string.
TEST(ReplyScan, RandomDatagramsAreScannedSafely)
{
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(state >> 24);
    };
    for (int round = 0; round < 2000; ++round) {
        PacketRecord record;
        record.length = static_cast<std::int32_t>(next()) * 4 + next() % 4;
        for (int i = 0; i < record.length; ++i) {
            const std::uint8_t byte = next();
            // Plenty of tags and plausible lengths, and now and then the model itself.
            record.data[i] = byte < 40 ? 0x04 : byte < 60 ? static_cast<std::uint8_t>(kDiscoveryModel.size() + byte % 8)
                                                          : byte;
        }
        if (round % 7 == 0 && record.length > 40) {
            record.data[10] = 0x04;
            record.data[11] = static_cast<std::uint8_t>(kDiscoveryModel.size());
            std::copy(kDiscoveryModel.begin(), kDiscoveryModel.end(), record.data + 12);
        }
        for (const auto& text : FindModelTexts(record, kDiscoveryModel)) {
            EXPECT_EQ(text.compare(0, kDiscoveryModel.size(), kDiscoveryModel), 0);
        }
    }
}

}  // namespace
