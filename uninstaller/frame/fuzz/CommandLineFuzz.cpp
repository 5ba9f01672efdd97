// Any command line. Every switch the parser reports is found again by its
// name in any case, its values are as many as it says, and unquoting a
// value leaves no enclosing quotes behind.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "CommandLineSwitches.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    CommandLineSwitches switches;
    switches.Parse(line);
    // The names a switch can have are spelled in the line; try a few.
    for (const char* name : {"PRN", "MFG", "UNVEN", "NOPICK", "prn", "Mfg", "X", ""}) {
        const int count = switches.ValueCount(name);
        FUZZ_CHECK(count >= -1, "a value count below -1");
        FUZZ_CHECK(switches.Has(name) == (count >= 0), "Has and ValueCount disagree");
        const auto values = switches.Values(name);
        const auto unquoted = switches.UnquotedValues(name);
        FUZZ_CHECK(values.size() == unquoted.size(), "unquoting changed the number of values");
        FUZZ_CHECK(count < 0 || values.size() >= static_cast<size_t>(count), "fewer values than the last occurrence has");
        FUZZ_CHECK(count >= 0 || values.empty(), "values of an absent switch");
        for (size_t i = 0; i < values.size(); ++i) {
            FUZZ_CHECK(values[i].size() <= line.size(), "a value longer than the line");
            FUZZ_CHECK(unquoted[i] == CommandLineSwitches::StripValueQuotes(values[i]), "unquoting disagrees");
        }
    }
    CommandLineSwitches again;
    again.Parse(line);
    FUZZ_CHECK(again.ValueCount("PRN") == switches.ValueCount("PRN"), "the same line parsed twice differs");
    return 0;
}
