// The translation file as anyone may have edited it. Every section is found
// by its own name; any locale name finds some section when the file has one;
// and the texts, written back in the file's own form, read back the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "TranslationFile.h"

namespace {

std::string escaped(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == ' ' && (i == 0 || i + 1 == text.size()))
            out += "\\s";
        else
            out += c;
    }
    return out;
}

// Names and keys that the form cannot carry (a key with "=" or a line
// break, a section name with "]") are left out of the comparison.
bool writable(std::string_view name)
{
    return !name.empty() && name.find_first_of("=\r\n]") == std::string_view::npos && name.front() != '#'
           && name.front() != ';' && name.front() != '[' && name.front() != ' ' && name.front() != '\t'
           && name.back() != ' ' && name.back() != '\t' && name.front() != '\xEF';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TranslationFile file = parseTranslationFile(std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(file.locales.empty() == file.firstLocale.empty() || file.locales.count(file.firstLocale),
               "the first locale is not among the sections");
    const TranslationTexts* any = selectLocale(file, std::string_view(reinterpret_cast<const char*>(data), size > 8 ? 8 : size));
    FUZZ_CHECK((any != nullptr) == !file.locales.empty(), "a locale name found no section of a file that has one");

    std::string rewritten;
    for (const auto& [name, texts] : file.locales) {
        FUZZ_CHECK(selectLocale(file, name) != nullptr, "a section is not found by its own name");
        if (!writable(name))
            continue;
        rewritten += "[" + name + "]\n";
        for (const auto& [key, text] : texts)
            if (writable(key) && text.find('\r') == std::string::npos)
                rewritten += key + " = " + escaped(text) + "\n";
    }
    const TranslationFile reread = parseTranslationFile(rewritten);
    for (const auto& [name, texts] : reread.locales) {
        const auto original = file.locales.find(name);
        FUZZ_CHECK(original != file.locales.end(), "a section appeared when written back");
        for (const auto& [key, text] : texts) {
            const auto originalText = original->second.find(key);
            FUZZ_CHECK(originalText != original->second.end() && originalText->second == text,
                       "a text changed when written back and read again");
        }
    }
    return 0;
}
