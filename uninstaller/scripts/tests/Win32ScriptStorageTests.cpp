#include "ScriptDiscovery.h"
#include "UninstallDatabase.h"
#include "Win32ScriptStorage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

using ::testing::ElementsAre;

namespace {

// A fresh folder under the temporary directory, removed with its files.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        root = std::string(temp) + "unzscripts" + std::to_string(GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
        made.push_back(root);
    }

    void TearDown() override
    {
        for (const std::string& file : files)
            DeleteFileA(file.c_str());
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            RemoveDirectoryA(it->c_str());
    }

    std::string Folder(const std::string& name)
    {
        std::string path = root + name + "\\";
        EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        made.push_back(path);
        return path;
    }

    std::string Write(const std::string& path, const std::string& text)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        files.push_back(path);
        return path;
    }

    std::string root;
    std::vector<std::string> made;
    std::vector<std::string> files;
};

}  // namespace

TEST_F(ScratchFolder, DiscoveryFindsFilesOnceAndSkipsFoldersOfThatName)
{
    std::string drivers = Folder("drivers");
    std::string program = Folder("program");
    std::string system = Folder("system");
    std::string script = Write(drivers + "Xunz___Z.unm", "[Unx_Ignore]\nX\n");
    std::string upper = Write(system + "XUNZ___Z.UNM", "[Unx_Ignore]\nY\n");
    made.push_back(program + "Xunz___Z.unm\\");
    ASSERT_TRUE(CreateDirectoryA((program + "Xunz___Z.unm").c_str(), nullptr));

    std::string lowerDrivers = drivers;
    CharLowerA(lowerDrivers.data());
    Win32DirectoryLister lister;
    std::vector<std::string> found = DiscoverScripts({drivers, drivers + "3\\", program, system, lowerDrivers}, lister);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(lstrcmpiA(found[0].c_str(), script.c_str()), 0);
    EXPECT_EQ(found[1], upper);
}

TEST_F(ScratchFolder, ReaderTakesTheProductGuidFromTheProfileFunction)
{
    std::string path = Write(root + "Xunz___Z.unm",
                             "[UnPrinterDrivers]\r\nDrv,P,1\r\n[P.Files]\r\nz.dll\r\n"
                             "[UnScannerDriver]\r\nUninstallScanner=1\r\n"
                             "ProductGUID=\"{6A3F1C20-5B1E-4C55-9D0A-0E1F2A3B4C5D}\"\r\n");
    Win32ScriptStorage storage;
    UninstallDatabase database;
    ASSERT_EQ(database.ReadScript(path, storage), ScriptReadResult::Read);
    EXPECT_TRUE(database.ScannerUninstallRequested());
    EXPECT_EQ(database.ScannerProductGuid(), "{6A3F1C20-5B1E-4C55-9D0A-0E1F2A3B4C5D}");
    ASSERT_EQ(database.Profiles().size(), 1u);
    EXPECT_THAT(database.Profiles()[0].Items(ItemList::Files), ElementsAre("z.dll"));
}

TEST_F(ScratchFolder, MissingFilesAndLongProfileValues)
{
    Win32ScriptStorage storage;
    std::string contents = "untouched";
    EXPECT_FALSE(storage.ReadWholeFile(root + "absent.unm", contents));
    std::string path = Write(root + "long.unm", "[S]\r\nK=" + std::string(80, 'g') + "\r\n");
    EXPECT_EQ(storage.ReadProfileString(path, "S", "K", 38), std::string(38, 'g'));
    EXPECT_EQ(storage.ReadProfileString(path, "S", "Missing", 38), "");
}
