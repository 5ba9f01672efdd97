// The translation file shipped with the driver holds a text for every key of
// the source's string table, in English and in French.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "TranslationFile.h"

namespace {
std::string readFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

// Keys of the string table; the settings file's section and key names are
// names, not messages, and have no translation.
std::set<std::string> messageKeys()
{
    static const std::set<std::string> profileNames = {
        "custom-left", "custom-top", "custom-right", "custom-bottom", "Settings", "Resolution", "PixelType",
        "Brightness", "Contrast", "Highlight", "Threshold", "Shadow", "FirstTime", "Gamma", "PaperSize", "UseADF",
        "IDS_ASKABOUTLARGEIMAGE", "IDS_DONTASKKEY", "IDS_FILTER_SETTINGS", "IDS_TAPA", "IDS_TAPB", "IDS_TAPC",
        "IDS_TAPD", "IDS_TAPE", "IDS_TAPF", "IDS_SHIFT"};
    std::string table = readFile(STRING_TABLE_FILE);
    std::set<std::string> keys;
    // Each entry is named by its id, a paper size by the base id plus its number.
    std::regex entry(R"re(\n\s*\w+(?:\s*\+\s*\d+)?,\s*"([^"]+)")re");
    for (auto match = std::sregex_iterator(table.begin(), table.end(), entry); match != std::sregex_iterator();
         ++match)
        if (!profileNames.count((*match)[1]))
            keys.insert((*match)[1]);
    // Keys the source translates without a string-table entry.
    keys.insert({"MONOCHROME", "GRAYSCALE", "FULLCOLOR", "IDS_ERROR_IMAGE_TOO_LARGE"});
    return keys;
}
}

TEST(ShippedTranslation, EveryKeyHasAnEnglishAndAFrenchText)
{
    TranslationFile file = parseTranslationFile(readFile(SHIPPED_TRANSLATION_FILE));
    ASSERT_EQ(file.firstLocale, "en-US");
    std::set<std::string> keys = messageKeys();
    ASSERT_GT(keys.size(), 80u);
    for (const char* locale : {"en-US", "fr-FR"}) {
        ASSERT_EQ(file.locales.count(locale), 1u) << locale;
        const TranslationTexts& texts = file.locales.at(locale);
        for (const std::string& key : keys) {
            auto found = texts.find(key);
            ASSERT_NE(found, texts.end()) << locale << " lacks " << key;
            EXPECT_FALSE(found->second.empty()) << locale << " " << key;
        }
        for (const char* identityKey : {"MANUFACTURER", "PRODFAMILY", "TWAINUI", "VERSIONNUMBER"})
            EXPECT_LE(texts.at(identityKey).size(), 33u) << "fits a TW_STR32";
    }
}
