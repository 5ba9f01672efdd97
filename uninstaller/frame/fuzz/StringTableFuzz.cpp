// Message texts from the string table and the INI files it points to, both
// anyone's to edit: a reference "@file@section@key" splits so that its parts
// spell it again, a text always fits its buffer and ends, and expanding line
// breaks never lengthens a text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "StringTable.h"

namespace {

// The input's first half is every resource string, the second half every
// INI value; the search path finds a file only when its name is short.
class FuzzedStrings : public StringSource {
public:
    std::string resource, value;
    std::string loadResourceString(unsigned) override { return resource; }
    std::string readIniValue(const std::string& file, const std::string&, const std::string&) override
    {
        return file.size() % 2 ? value : std::string();
    }
    std::string searchPath(const std::string& file) override { return file.size() < 8 ? file + "x" : std::string(); }
    std::string programIniPath() override { return "uninst.ini"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Indirection indirection = parseIndirection(text);
    if (indirection.kind == IndirectionKind::Reference) {
        const IniReference& r = indirection.reference;
        FUZZ_CHECK("@" + r.file + "@" + r.section + "@" + r.key == text, "a reference does not spell its text");
        FUZZ_CHECK(r.file.find('@') == std::string::npos && r.section.find('@') == std::string::npos,
                   "a reference split at the wrong at sign");
    } else {
        FUZZ_CHECK(indirection.kind == IndirectionKind::Malformed || text.empty() || text.front() != '@',
                   "a text starting with an at sign taken as plain");
    }
    FUZZ_CHECK(expandLineBreaks(text).size() <= size, "expanding line breaks lengthened a text");

    FuzzedStrings strings;
    strings.resource = std::string(text.substr(0, size / 2));
    strings.value = std::string(text.substr(size / 2));
    StringTable table(strings);
    const char* first = table.text(1);
    const char* second = table.text(2);
    FUZZ_CHECK(std::strlen(first) < StringTable::kBufferSize, "a text overran its buffer");
    FUZZ_CHECK(first != second && std::strcmp(first, second) == 0, "two texts fetched together do not stay valid");
    return 0;
}
