#include <gtest/gtest.h>

#include "TranslationFile.h"

namespace {
const char Sample[] =
    "\xEF\xBB\xBF# comment\r\n"
    "ORPHAN = before any section\n"
    "[en-US]\n"
    "  BUTTON_SCAN =  Scan  \r\n"
    "; another comment\n"
    "PADDED = \\sedge\\s\n"
    "MULTI = one\\ntwo\\\\three\\q\n"
    "no equals sign here\n"
    "EMPTY =\n"
    "[fr-FR]\n"
    "BUTTON_SCAN = Numériser\n"
    "BUTTON_SCAN = Numériser encore\n";
}

TEST(TranslationFile, ParsesSectionsKeysAndEscapes)
{
    TranslationFile file = parseTranslationFile(Sample);
    ASSERT_EQ(file.locales.size(), 2u);
    EXPECT_EQ(file.firstLocale, "en-US");
    const TranslationTexts& english = file.locales.at("en-US");
    EXPECT_EQ(english.at("BUTTON_SCAN"), "Scan");
    EXPECT_EQ(english.at("PADDED"), " edge ");
    EXPECT_EQ(english.at("MULTI"), "one\ntwo\\three\\q");
    EXPECT_EQ(english.at("EMPTY"), "");
    EXPECT_EQ(english.count("ORPHAN"), 0u);
    EXPECT_EQ(file.locales.at("fr-FR").at("BUTTON_SCAN"), "Numériser encore") << "a later line wins";
}

TEST(TranslationFile, LocaleFallsBackToTheLanguageThenTheFirstSection)
{
    TranslationFile file = parseTranslationFile(Sample);
    EXPECT_EQ(selectLocale(file, "FR_fr"), &file.locales.at("fr-FR"));
    EXPECT_EQ(selectLocale(file, "fr-CA"), &file.locales.at("fr-FR"));
    EXPECT_EQ(selectLocale(file, "de-DE"), &file.locales.at("en-US"));
    EXPECT_EQ(selectLocale(file, ""), &file.locales.at("en-US"));
    EXPECT_EQ(selectLocale(parseTranslationFile("# nothing\n"), "en-US"), nullptr);
}
