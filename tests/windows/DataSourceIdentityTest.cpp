// The data source loads like any TWAIN source and tells who it is.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

#pragma pack(push, 2)
struct Version {
    WORD majorNum, minorNum, language, country;
    char info[34];
};
struct Identity {
    DWORD id;
    Version version;
    WORD protocolMajor, protocolMinor;
    DWORD supportedGroups;
    char manufacturer[34], productFamily[34], productName[34];
};
#pragma pack(pop)

using DsEntry = WORD(WINAPI*)(Identity*, DWORD, WORD, WORD, void*);

TEST(DataSourceLibrary, ExportsEntryPointsAndAnswersIdentity)
{
    HMODULE source = LoadLibraryA("ZVP4T___.ds");
    ASSERT_NE(nullptr, source) << GetLastError();
    auto entry = reinterpret_cast<DsEntry>(reinterpret_cast<void*>(GetProcAddress(source, "DS_Entry")));
    ASSERT_NE(nullptr, entry);
    EXPECT_NE(nullptr, GetProcAddress(source, "_UsbIn@0"));
    EXPECT_EQ(reinterpret_cast<void*>(entry), reinterpret_cast<void*>(GetProcAddress(source, MAKEINTRESOURCEA(1))));

    Identity identity;
    std::memset(&identity, 0xA5, sizeof(identity));
    identity.id = 77;
    // The manager may pass no origin with this request.
    EXPECT_EQ(0, entry(nullptr, 1 /*DG_CONTROL*/, 3 /*DAT_IDENTITY*/, 1 /*MSG_GET*/, &identity));
    EXPECT_EQ(77u, identity.id) << "the caller's Id is left alone";
    EXPECT_EQ(1, identity.protocolMajor);
    EXPECT_EQ(9, identity.protocolMinor);
    EXPECT_EQ(1, identity.version.majorNum) << "from file version 0.1.61.0";
    EXPECT_EQ(61, identity.version.minorNum);
    EXPECT_NE(nullptr, std::memchr(identity.productName, 0, sizeof(identity.productName)));
    EXPECT_GT(std::strlen(identity.productName), 0u);
    FreeLibrary(source);
}

}  // namespace
