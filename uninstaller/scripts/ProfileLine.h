#pragma once
// A profile line of a starter section: display name, section prefix and
// number, separated by commas. A line with fewer fields is read with an
// empty prefix and number 0.

#include <string>
#include <string_view>

struct ProfileLine {
    std::string displayName;  // runs of double quotes stripped from both ends
    std::string prefix;       // as written
    int number = 0;
};

ProfileLine ParseProfileLine(std::string_view line);
