#include "XcvRequests.h"

#include <gtest/gtest.h>

namespace {

std::vector<unsigned char> Utf16Bytes(const std::u16string& text) {
    std::vector<unsigned char> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    return bytes;
}

// Bytes [offset, offset + count) are all zero.
bool ZeroRange(const std::vector<unsigned char>& bytes, std::size_t offset, std::size_t count) {
    for (std::size_t i = offset; i < offset + count; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

TEST(XcvRequests, ConfigInfoRequestIsZeroWithVersionOneAtTheEnd) {
    std::vector<unsigned char> request = xcv::BuildConfigInfoRequest();
    ASSERT_EQ(request.size(), 132u);
    EXPECT_TRUE(ZeroRange(request, 0, 128));
    EXPECT_EQ(request[128], 1);
    EXPECT_EQ(request[129], 0);
    EXPECT_EQ(request[130], 0);
    EXPECT_EQ(request[131], 0);
}

TEST(XcvRequests, AddPortRequestPutsEveryFieldAtItsPublishedOffset) {
    xcv::NewRawPort port{u"IP_lab", u"prn-lab", u"tarnix", 9100, 1};
    std::vector<unsigned char> request = xcv::BuildAddPortRequest(port);
    ASSERT_EQ(request.size(), 964u);

    std::vector<unsigned char> expected(964, 0);
    auto put = [&](std::size_t offset, const std::vector<unsigned char>& bytes) {
        std::copy(bytes.begin(), bytes.end(), expected.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    put(0, Utf16Bytes(u"IP_lab"));
    put(128, {1, 0, 0, 0});                // version
    put(132, {1, 0, 0, 0});                // raw protocol
    put(136, {0xC4, 0x03, 0, 0});          // its own size, 964
    put(144, Utf16Bytes(u"prn-lab"));      // host address
    put(242, Utf16Bytes(u"tarnix"));       // SNMP community
    put(952, {0x8C, 0x23, 0, 0});          // port 9100
    put(960, {1, 0, 0, 0});                // SNMP device index
    EXPECT_EQ(request, expected);
}

TEST(XcvRequests, LongTextsAreCutToTheirFieldsAndStayTerminated) {
    xcv::NewRawPort port{std::u16string(100, u'p'), std::u16string(48, u'h'), std::u16string(40, u'c'), 9100, 1};
    std::vector<unsigned char> request = xcv::BuildAddPortRequest(port);
    ASSERT_EQ(request.size(), 964u);
    EXPECT_EQ(xcv::ReadText(request, xcv::kPortNameField), std::u16string(63, u'p'));
    EXPECT_EQ(xcv::ReadText(request, xcv::kHostAddressField), std::u16string(48, u'h'));
    EXPECT_EQ(xcv::ReadText(request, xcv::kSnmpCommunityField), std::u16string(32, u'c'));
    // The terminators sit in the last unit of each field; nothing spills over.
    EXPECT_TRUE(ZeroRange(request, 126, 2));
    EXPECT_EQ(xcv::ReadUint32(request, xcv::kVersionOffset), 1u);
    EXPECT_TRUE(ZeroRange(request, 240, 2));
    EXPECT_TRUE(ZeroRange(request, 306, 6));  // community terminator and the double-spool flag
    EXPECT_TRUE(ZeroRange(request, 312, 952 - 312));
}

TEST(XcvRequests, AHostNameBeyondPortData1IsSentWholeInPortData2) {
    const std::u16string label(63, u'h');
    std::vector<unsigned char> request = xcv::BuildAddPortRequest({u"IP_long", label, u"tarnix", 9100, 1});
    ASSERT_EQ(request.size(), 1068u);
    EXPECT_EQ(xcv::ReadUint32(request, xcv::kVersionOffset), 2u);
    EXPECT_EQ(xcv::ReadUint32(request, xcv::kSizeOffset), 1068u);
    EXPECT_EQ(xcv::ReadText(request, xcv::kPortNameField), u"IP_long");
    EXPECT_EQ(xcv::ReadText(request, xcv::kHostAddress2Field), label);
    EXPECT_EQ(xcv::ReadText(request, xcv::kSnmpCommunity2Field), u"tarnix");
    EXPECT_EQ(xcv::ReadUint32(request, xcv::kPortNumber2Offset), 9100u);
    EXPECT_EQ(xcv::ReadUint32(request, xcv::kSnmpDeviceIndex2Offset), 1u);
    // 48 characters still fit the published PORT_DATA_1; beyond 127 the name is cut.
    EXPECT_EQ(xcv::BuildAddPortRequest({u"IP", std::u16string(48, u'h'), u"c", 9100, 1}).size(), 964u);
    const auto cut = xcv::BuildAddPortRequest({u"IP", std::u16string(200, u'h'), u"c", 9100, 1});
    EXPECT_EQ(xcv::ReadText(cut, xcv::kHostAddress2Field), std::u16string(127, u'h'));

    std::vector<unsigned char> deletion = xcv::BuildDeletePortRequest(u"IP_long");
    ASSERT_EQ(deletion.size(), 236u);
    EXPECT_EQ(xcv::ReadText(deletion, xcv::kDeletePortNameField), u"IP_long");
    EXPECT_EQ(xcv::ReadUint32(deletion, 228), 1u);
}

TEST(XcvRequests, CutNeverSplitsASurrogatePair) {
    std::u16string name(62, u'p');
    name += u"\xD83D\xDDA8";  // a printer pictograph straddling the last unit
    xcv::NewRawPort port{name, u"h", u"c", 9100, 1};
    EXPECT_EQ(xcv::ReadText(xcv::BuildAddPortRequest(port), xcv::kPortNameField), std::u16string(62, u'p'));
}

TEST(XcvRequests, ReadingAnAnswerStopsAtFieldEndsAndAtTheBufferEnd) {
    std::vector<unsigned char> answer(964, 0);
    answer[132] = 2;
    // An IP address field filled to the brim with no terminator.
    for (std::size_t i = 0; i < 16; ++i) answer[378 + 2 * i] = '1';
    xcv::PortConfiguration configuration = xcv::ReadPortConfiguration(answer);
    EXPECT_EQ(configuration.protocol, xcv::kProtocolLpr);
    EXPECT_EQ(configuration.ipAddress, std::u16string(16, u'1'));
    EXPECT_TRUE(configuration.hostAddress.empty());

    std::vector<unsigned char> shortAnswer(150, 0);
    shortAnswer[144] = 'h';
    shortAnswer[146] = 'o';
    shortAnswer[148] = 's';  // cut off in the middle of the field
    configuration = xcv::ReadPortConfiguration(shortAnswer);
    EXPECT_EQ(configuration.hostAddress, u"hos");
    EXPECT_TRUE(configuration.ipAddress.empty());
}

}  // namespace
