// The support library as the data source binds it: by name, from a folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {
using GetCharSetProc = int(__cdecl*)(void);
using GetWindowsVersionProc = int(__cdecl*)(void);
using GetLocaleIdProc = const char*(__cdecl*)(void);
using StartTranslationProc = void*(__cdecl*)(const char*, const char*, DWORD);
using EndTranslationProc = void(__cdecl*)(void*);
using GetLocalizedStringProc = const void*(__cdecl*)(void*, const void*);
using AsciiToUnicodeProc = int(__cdecl*)(const char*, int, wchar_t*, int);
using UnicodeToAsciiProc = int(__cdecl*)(const wchar_t*, int, char*, int);

template <typename Proc>
Proc bind(HMODULE library, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

class SupportExports : public ::testing::Test {
protected:
    HMODULE library = nullptr;
    std::string translationFile;

    void SetUp() override
    {
        library = LoadLibraryA("ZVP4_d__.dll");
        ASSERT_NE(library, nullptr) << GetLastError();
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        translationFile = std::string(folder) + "zvp4d-exports-test.cfg";
        const char contents[] =
            "[en-US]\nBUTTON_SCAN = Scan\nSAME = SAME\n"
            "[fr-FR]\nBUTTON_SCAN = Numériser\n";
        HANDLE file = CreateFileA(translationFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, contents, sizeof contents - 1, &written, nullptr);
        CloseHandle(file);
    }

    void TearDown() override
    {
        DeleteFileA(translationFile.c_str());
        SetEnvironmentVariableA("ZVP4D_CHARSET", nullptr);
        SetEnvironmentVariableA("ZVP4D_WINDOWS_VERSION", nullptr);
        if (library)
            FreeLibrary(library);
    }
};
}

TEST_F(SupportExports, AllSixteenEntryPointsAreExportedByName)
{
    for (const char* name :
         {"QueryDeviceCapabilities", "QueryFeatureDefaults", "StartQuery", "StartTranslation", "EndTranslation",
          "GetLocaleID", "GetLocaleID2", "GetCharSet", "OutFeatureCapability", "OutFeatureSettings",
          "ReadFeatureSettings", "CalculatePrintableImageSize", "GetLocalizedString", "GetWindowsVersion",
          "AsciiToUnicode", "UnicodeToAscii"})
        EXPECT_NE(GetProcAddress(library, name), nullptr) << name;
}

TEST_F(SupportExports, WideTablesAnswerWideTexts)
{
    auto start = bind<StartTranslationProc>(library, "StartTranslation");
    auto lookUp = bind<GetLocalizedStringProc>(library, "GetLocalizedString");
    auto end = bind<EndTranslationProc>(library, "EndTranslation");
    void* table = start(translationFile.c_str(), "fr-FR", 0x80000000u);
    ASSERT_NE(table, nullptr);
    auto* text = static_cast<const wchar_t*>(lookUp(table, L"BUTTON_SCAN"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::wstring(text), L"Num\u00e9riser");
    EXPECT_EQ(lookUp(table, L"MISSING"), nullptr);
    end(table);
}

TEST_F(SupportExports, AnsiTablesAnswerTextsOfTheCodePage)
{
    auto start = bind<StartTranslationProc>(library, "StartTranslation");
    auto lookUp = bind<GetLocalizedStringProc>(library, "GetLocalizedString");
    void* table = start(translationFile.c_str(), "fr_CA", 0x80000001u);
    ASSERT_NE(table, nullptr);
    auto* text = static_cast<const char*>(lookUp(table, "BUTTON_SCAN"));
    ASSERT_NE(text, nullptr);
    wchar_t wide[32];
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 32);
    EXPECT_EQ(std::wstring(wide), L"Num\u00e9riser") << "fr_CA falls back to fr-FR";
    void* english = start(translationFile.c_str(), "de-DE", 0x80000001u);
    EXPECT_STREQ(static_cast<const char*>(lookUp(english, "BUTTON_SCAN")), "Scan") << "first section";
    EXPECT_EQ(start("C:\\no\\such\\file.cfg", "en-US", 0x80000000u), nullptr);
    bind<EndTranslationProc>(library, "EndTranslation")(table);
    bind<EndTranslationProc>(library, "EndTranslation")(english);
}

TEST_F(SupportExports, CharSetFollowsTheWindowsVersionClass)
{
    auto charSet = bind<GetCharSetProc>(library, "GetCharSet");
    auto windowsVersion = bind<GetWindowsVersionProc>(library, "GetWindowsVersion");
    EXPECT_EQ(charSet(), 0) << "this Windows needs no ANSI windows";
    EXPECT_NE(windowsVersion(), 1);
    SetEnvironmentVariableA("ZVP4D_WINDOWS_VERSION", "2");
    EXPECT_EQ(windowsVersion(), 2);
    EXPECT_EQ(charSet(), 1);
    SetEnvironmentVariableA("ZVP4D_CHARSET", "0");
    EXPECT_EQ(charSet(), 0);
    std::string locale = bind<GetLocaleIdProc>(library, "GetLocaleID")();
    EXPECT_NE(locale.find('-'), std::string::npos) << locale;
}

TEST_F(SupportExports, ConversionsStopAtTheirBuffers)
{
    auto toWide = bind<AsciiToUnicodeProc>(library, "AsciiToUnicode");
    auto toAnsi = bind<UnicodeToAsciiProc>(library, "UnicodeToAscii");
    wchar_t wide[4];
    EXPECT_EQ(toWide("MANUFACTURER", 12, wide, 4), 3);
    EXPECT_EQ(std::wstring(wide), L"MAN");
    EXPECT_EQ(toWide("AB\0CD", 5, wide, 4), 2) << "stops at the terminator";

    char ansi[34];
    std::wstring longText(100, L'x');
    EXPECT_EQ(toAnsi(longText.c_str(), 512, ansi, 34), 33);
    EXPECT_EQ(std::string(ansi), std::string(33, 'x'));
    EXPECT_EQ(toAnsi(L"abc", 512, ansi, 34), 3);
    EXPECT_STREQ(ansi, "abc");
}
