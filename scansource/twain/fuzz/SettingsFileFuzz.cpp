// The settings file as anyone may have edited it: whatever its values, the
// settings read stay inside what the capabilities allow, and writing them
// back and reading again gives the same settings (gamma within its form).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "SettingsFile.h"

namespace {

// The first "key=value" line of a key wins, as the profile functions read it;
// section lines are ignored since the source reads one section only.
class TextProfile : public ProfileStore {
public:
    explicit TextProfile(std::string_view text)
    {
        while (!text.empty()) {
            const size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            const size_t equals = line.find('=');
            if (equals != std::string_view::npos)
                values.emplace(std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
        }
    }
    std::string read(const char*, const char* key, const char* defaultText) override
    {
        const auto found = values.find(key);
        return found == values.end() ? defaultText : found->second;
    }
    void write(const char*, const char* key, const char* text) override { values[key] = text; }

    std::map<std::string, std::string> values;
};

bool same(const StoredSettings& a, const StoredSettings& b)
{
    return a.resolution == b.resolution && a.pixelType == b.pixelType && a.brightness == b.brightness
           && a.contrast == b.contrast && a.highlight == b.highlight && a.threshold == b.threshold
           && a.shadow == b.shadow && a.gamma == b.gamma && a.paperSize == b.paperSize && a.left == b.left
           && a.top == b.top && a.right == b.right && a.bottom == b.bottom && a.firstTime == b.firstTime;
}

StoredSettings writtenAndReadBack(const StoredSettings& settings)
{
    TextProfile written("");
    SaveSettings(written, settings);
    SaveCustomFrame(written, settings);
    StoredSettings reread = defaultStoredSettings();
    reread.left = settings.left, reread.top = settings.top, reread.right = settings.right,
    reread.bottom = settings.bottom;
    LoadSettings(written, reread);
    return reread;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The profile functions hand over zero-terminated texts.
    const std::string text(reinterpret_cast<const char*>(data), size);
    TextProfile file(std::string_view(text.c_str()));
    StoredSettings settings = defaultStoredSettings();
    LoadSettings(file, settings);

    FUZZ_CHECK(settings.resolution >= 150 && settings.resolution <= 600, "resolution out of range");
    FUZZ_CHECK(settings.pixelType >= 0 && settings.pixelType <= 2, "pixel type out of range");
    FUZZ_CHECK(settings.brightness >= -60 && settings.brightness <= 60, "brightness out of range");
    FUZZ_CHECK(settings.contrast >= -35 && settings.contrast <= 35, "contrast out of range");
    FUZZ_CHECK(settings.threshold >= 0 && settings.threshold <= 255, "threshold out of range");
    FUZZ_CHECK(settings.highlight >= 0 && settings.highlight <= 255, "highlight out of range");
    FUZZ_CHECK(settings.shadow >= 0 && settings.shadow <= 255, "shadow out of range");
    FUZZ_CHECK(std::isfinite(settings.gamma) && settings.gamma >= 0.0f && settings.gamma <= 10.0f,
               "gamma out of range");
    FUZZ_CHECK(settings.left >= 0 && settings.left < settings.right && settings.right <= 40800,
               "frame outside the bed's width");
    FUZZ_CHECK(settings.top >= 0 && settings.top < settings.bottom && settings.bottom <= 67200,
               "frame outside the bed's length");

    // The gamma form appends "3.1" to six decimals, so every write may move
    // gamma by a few millionths (float rounding can make that a slow creep,
    // a millionth per session); everything else reads back exactly.
    StoredSettings once = writtenAndReadBack(settings);
    StoredSettings twice = writtenAndReadBack(once);
    FUZZ_CHECK(std::fabs(once.gamma - settings.gamma) < 1e-5f, "writing moved gamma by more than the form allows");
    FUZZ_CHECK(std::fabs(twice.gamma - once.gamma) < 1e-5f, "rewriting moved gamma by more than the form allows");
    once.gamma = twice.gamma = settings.gamma;
    FUZZ_CHECK(same(settings, once) && same(once, twice), "settings other than gamma change when written and read back");
    return 0;
}
