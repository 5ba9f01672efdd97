// Any bytes as an uninstall script. The sections and entries read, written
// back as a script, read back to the same sections and entries; and the key
// and line lists through a buffer of any size are the leading part of the
// whole list, always closed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "ScriptFile.h"

namespace {

// What a script line cannot carry: the writer skips those entries and
// the comparison skips them too.
bool writableEntry(const ScriptEntry& entry)
{
    const std::string& key = entry.key;
    return !key.empty() && key.front() != '[' && key.find_first_of("=;\r\n") == std::string::npos
           && entry.value.find_first_of(";\r\n") == std::string::npos;
}

bool writableName(const std::string& name)
{
    return name.find_first_of("]\r\n") == std::string::npos;
}

std::vector<ScriptSection> writableSections(const ScriptFile& file)
{
    std::vector<ScriptSection> sections;
    for (const ScriptSection& section : file.Sections()) {
        if (!writableName(section.name))
            continue;
        ScriptSection kept{section.name, {}};
        for (const ScriptEntry& entry : section.entries)
            if (writableEntry(entry))
                kept.entries.push_back(entry);
        sections.push_back(kept);
    }
    return sections;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ScriptFile file = ScriptFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::vector<ScriptSection> sections = writableSections(file);

    std::string script;
    for (const ScriptSection& section : sections) {
        script += "[" + section.name + "]\r\n";
        for (const ScriptEntry& entry : section.entries)
            script += entry.key + "=" + entry.value + "\r\n";
    }
    const std::vector<ScriptSection> reread = writableSections(ScriptFile::Parse(script));
    FUZZ_CHECK(reread.size() == sections.size(), "sections differ when written back and read again");
    for (size_t s = 0; s < sections.size(); ++s) {
        FUZZ_CHECK(reread[s].name == sections[s].name, "a section name changed when written back");
        FUZZ_CHECK(reread[s].entries.size() == sections[s].entries.size(), "entries lost when written back");
        for (size_t e = 0; e < sections[s].entries.size(); ++e) {
            FUZZ_CHECK(reread[s].entries[e].key == sections[s].entries[e].key, "a key changed when written back");
            FUZZ_CHECK(reread[s].entries[e].value == sections[s].entries[e].value, "a value changed when written back");
        }
    }

    for (const ScriptSection& section : file.Sections()) {
        const std::vector<std::string> all = ReadKeysLimited(file, section.name, 2 * size + 2);
        const size_t small = size % 97 + 2;
        const std::vector<std::string> some = ReadKeysLimited(file, section.name, small);
        FUZZ_CHECK(some.size() <= all.size(), "a small buffer holds more keys than the whole list");
        for (size_t i = 0; i < some.size(); ++i)
            FUZZ_CHECK(some[i] == all[i], "a small buffer's keys are not the list's leading keys");
        const std::vector<std::string> lines = ReadLinesLimited(file, section.name, small);
        FUZZ_CHECK(lines.size() <= all.size(), "more lines than keys");
    }
    return 0;
}
