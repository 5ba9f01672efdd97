#pragma once
// The uninstaller's command line: switches such as /PRN:"Drv A","Drv B",
// -MFG:Arvel or /NOPICK.
//
// The line (up to 4095 characters) splits at spaces outside double quotes.
// A token starting with "/" or "-" is a switch; its name runs to the first
// ":" outside quotes and the rest is a list of values separated by commas
// outside quotes. Other tokens are ignored. Values keep their quotes;
// StripValueQuotes removes them. Portable: no Windows headers.

#include <string>
#include <string_view>
#include <vector>

class CommandLineSwitches {
public:
    static constexpr size_t kMaxCommandLineLength = 4095;

    // Replaces what was parsed before with the switches of commandLine.
    void Parse(std::string_view commandLine);
    // Adds one token that is already split off (an argv element).
    void AddToken(std::string_view token);

    // Value count of the last occurrence of name (0 for a bare switch), or
    // -1 when the switch is absent. Names compare case-insensitively.
    int ValueCount(std::string_view name) const;
    bool Has(std::string_view name) const { return ValueCount(name) >= 0; }
    // The values of every occurrence of name, in command-line order.
    std::vector<std::string> Values(std::string_view name) const;
    // The same with the double quotes at both ends of each value removed.
    std::vector<std::string> UnquotedValues(std::string_view name) const;

    static std::string StripValueQuotes(std::string_view value);

private:
    struct Switch {
        std::string name;
        std::vector<std::string> values;
    };

    std::vector<Switch> switches_;
};
