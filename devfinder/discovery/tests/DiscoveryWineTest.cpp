// What the program takes from Windows itself: the manifest it carries and
// the code pages of names from the network.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "DnsLookupWin.h"

namespace {

// Without a manifest Windows runs the program with a standard user's token
// even for an administrator, and every port and queue is refused.
TEST(DevfinderProgram, DeclaresTheRightsAndControlsItNeeds)
{
    HMODULE program = LoadLibraryExA("devfinder.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, program);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const std::string manifest = found ? std::string(static_cast<const char*>(LockResource(LoadResource(program, found))),
                                                     SizeofResource(program, found))
                                       : std::string();
    FreeLibrary(program);
    EXPECT_NE(std::string::npos, manifest.find("<requestedExecutionLevel level=\"highestAvailable\"")) << manifest;
    EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
}

TEST(NetbiosNames, ComeFromTheOemCodePage)
{
    if (GetOEMCP() != 437 || GetACP() != 1252) {
        GTEST_SKIP() << "written for the OEM code page 437 and the ANSI code page 1252";
    }
    std::string name = "K\x84" "CHE";  // a-umlaut in code page 437
    OemToAnsiCodePageInPlace(name);
    EXPECT_EQ("K\xE4" "CHE", name);
}

}  // namespace
