#include "TextFields.h"

#include <climits>
#include <cstdlib>

std::string StripQuotes(std::string_view text)
{
    size_t begin = text.find_first_not_of('"');
    if (begin == std::string_view::npos)
        return {};
    size_t end = text.find_last_not_of('"');
    return std::string(text.substr(begin, end - begin + 1));
}

int LeadingInteger(std::string_view text)
{
    std::string copy(text);
    long number = std::strtol(copy.c_str(), nullptr, 10);
    if (number > INT_MAX)
        return INT_MAX;
    if (number < INT_MIN)
        return INT_MIN;
    return static_cast<int>(number);
}

std::string_view TrimSpaces(std::string_view text)
{
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return {};
    size_t end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}
