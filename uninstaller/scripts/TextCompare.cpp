#include "TextCompare.h"

#include <algorithm>

namespace {

unsigned char FoldCase(char c)
{
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z')
        return static_cast<unsigned char>(byte - 'A' + 'a');
    return byte;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

bool LessIgnoringCase(std::string_view a, std::string_view b)
{
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        unsigned char left = FoldCase(a[i]);
        unsigned char right = FoldCase(b[i]);
        if (left != right)
            return left < right;
    }
    return a.size() < b.size();
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

void SortUniqueIgnoringCase(std::vector<std::string>& list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const std::string& a, const std::string& b) { return LessIgnoringCase(a, b); });
    auto end = std::unique(list.begin(), list.end(),
                           [](const std::string& a, const std::string& b) { return EqualsIgnoringCase(a, b); });
    list.erase(end, list.end());
}
