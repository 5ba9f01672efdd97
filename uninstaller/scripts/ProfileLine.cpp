#include "ProfileLine.h"

#include "TextFields.h"

ProfileLine ParseProfileLine(std::string_view line)
{
    ProfileLine profile;
    size_t firstComma = line.find(',');
    profile.displayName = StripQuotes(line.substr(0, firstComma));
    if (firstComma == std::string_view::npos)
        return profile;
    std::string_view rest = line.substr(firstComma + 1);
    size_t secondComma = rest.find(',');
    profile.prefix = std::string(rest.substr(0, secondComma));
    if (secondComma != std::string_view::npos)
        profile.number = LeadingInteger(rest.substr(secondComma + 1));
    return profile;
}
