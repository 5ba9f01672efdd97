// Bare data source: answers who it is and refuses everything else, so a
// manager can list it while the real entry is not built yet.
#include <windows.h>

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
static_assert(sizeof(Identity) == 156, "TW_IDENTITY is 156 bytes");

constexpr DWORD kControlGroup = 1;
constexpr WORD kIdentity = 3;
constexpr WORD kGet = 1;
constexpr WORD kSuccess = 0, kFailure = 1;

}  // namespace

extern "C" WORD WINAPI DS_Entry(void*, DWORD group, WORD data, WORD message, void* pData)
{
    if (group != kControlGroup || data != kIdentity || message != kGet || pData == nullptr)
        return kFailure;
    auto* identity = static_cast<Identity*>(pData);
    identity->version = Version{1, 61, 13, 1, "0.1.61.0 (not yet functional)"};
    identity->protocolMajor = 1;
    identity->protocolMinor = 9;
    identity->supportedGroups = 3;
    std::strcpy(identity->manufacturer, "Arvel-Norvane");
    std::strcpy(identity->productFamily, "Vivaro 5320MF");
    std::strcpy(identity->productName, "Vivaro 5320MF TWAIN");
    return kSuccess;
}

// The scanner transport is not built yet: report no device.
extern "C" int WINAPI UsbIn() { return 0; }
