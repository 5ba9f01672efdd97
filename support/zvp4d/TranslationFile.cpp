#include "TranslationFile.h"

#include <vector>

namespace {
std::string_view trim(std::string_view text)
{
    size_t begin = 0;
    while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    size_t end = text.size();
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r'))
        --end;
    return text.substr(begin, end - begin);
}

std::string unescape(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        switch (text[++i]) {
        case 'n': result += '\n'; break;
        case 't': result += '\t'; break;
        case 's': result += ' '; break;
        case '\\': result += '\\'; break;
        default:
            result += '\\';
            result += text[i];
            break;
        }
    }
    return result;
}

std::string normalisedLocale(std::string_view name)
{
    std::string result;
    for (char c : name) {
        if (c == '_')
            c = '-';
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        result += c;
    }
    return result;
}

std::string languageOf(const std::string& normalised)
{
    return normalised.substr(0, normalised.find('-'));
}
}

TranslationFile parseTranslationFile(std::string_view text)
{
    TranslationFile file;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    TranslationTexts* current = nullptr;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            std::string name(trim(line.substr(1, line.size() - 2)));
            if (file.locales.empty())
                file.firstLocale = name;
            current = &file.locales[name];
            continue;
        }
        size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos)
            continue;
        std::string key(trim(line.substr(0, equals)));
        if (!key.empty())
            (*current)[key] = unescape(trim(line.substr(equals + 1)));
    }
    return file;
}

const TranslationTexts* selectLocale(const TranslationFile& file, std::string_view locale)
{
    std::string wanted = normalisedLocale(locale);
    for (const auto& [name, texts] : file.locales)
        if (normalisedLocale(name) == wanted)
            return &texts;
    std::string language = languageOf(wanted);
    for (const auto& [name, texts] : file.locales)
        if (languageOf(normalisedLocale(name)) == language)
            return &texts;
    auto first = file.locales.find(file.firstLocale);
    return first == file.locales.end() ? nullptr : &first->second;
}
