#pragma once
// The translation file of the scanner driver: message keys and their texts
// per locale, UTF-8 text. The format is described in TranslationFormat.md.
#include <map>
#include <string>
#include <string_view>

using TranslationTexts = std::map<std::string, std::string>;

struct TranslationFile {
    // Sections in the order of the file, by their locale name as written.
    std::map<std::string, TranslationTexts> locales;
    std::string firstLocale;
};

TranslationFile parseTranslationFile(std::string_view text);

// The texts for a locale name: the section of that name, else a section of
// the same language ("fr-CA" finds "fr-FR"), else the file's first section. Names compare without regard to case, and "_"
// counts as "-". Null when the file has no section at all.
const TranslationTexts* selectLocale(const TranslationFile& file, std::string_view locale);
