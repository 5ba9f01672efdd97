#include "CommandLineSwitches.h"

namespace {

// Splits text at separator where it is not inside double quotes.
std::vector<std::string_view> SplitOutsideQuotes(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(text.substr(start));
    return parts;
}

size_t FindOutsideQuotes(std::string_view text, char wanted)
{
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == wanted && !quoted)
            return i;
    }
    return std::string_view::npos;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char left = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        char right = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (left != right)
            return false;
    }
    return true;
}

}  // namespace

void CommandLineSwitches::Parse(std::string_view commandLine)
{
    switches_.clear();
    for (std::string_view token : SplitOutsideQuotes(commandLine.substr(0, kMaxCommandLineLength), ' '))
        AddToken(token);
}

void CommandLineSwitches::AddToken(std::string_view token)
{
    if (token.empty() || (token[0] != '/' && token[0] != '-'))
        return;
    std::string_view body = token.substr(1);
    size_t colon = FindOutsideQuotes(body, ':');
    Switch parsed;
    parsed.name = std::string(body.substr(0, colon));
    if (colon != std::string_view::npos && colon + 1 < body.size()) {
        for (std::string_view value : SplitOutsideQuotes(body.substr(colon + 1), ','))
            parsed.values.emplace_back(value);
    }
    switches_.push_back(std::move(parsed));
}

int CommandLineSwitches::ValueCount(std::string_view name) const
{
    int count = -1;
    for (const Switch& entry : switches_) {
        if (SameName(entry.name, name))
            count = static_cast<int>(entry.values.size());
    }
    return count;
}

std::vector<std::string> CommandLineSwitches::Values(std::string_view name) const
{
    std::vector<std::string> values;
    for (const Switch& entry : switches_) {
        if (SameName(entry.name, name))
            values.insert(values.end(), entry.values.begin(), entry.values.end());
    }
    return values;
}

std::vector<std::string> CommandLineSwitches::UnquotedValues(std::string_view name) const
{
    std::vector<std::string> values = Values(name);
    for (std::string& value : values)
        value = StripValueQuotes(value);
    return values;
}

std::string CommandLineSwitches::StripValueQuotes(std::string_view value)
{
    size_t begin = value.find_first_not_of('"');
    if (begin == std::string_view::npos)
        return {};
    size_t end = value.find_last_not_of('"');
    return std::string(value.substr(begin, end - begin + 1));
}
