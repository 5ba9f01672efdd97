#include "SettingsFile.h"

#include "ScanParameters.h"

#include <math.h>

namespace {
constexpr int32_t BedWidth = 40800;
constexpr int32_t BedLength = 67200;
constexpr int32_t DefaultFrameBottom = 52800;

// The paper sizes that the paper-size capabilities allow; 0 is the custom area.
constexpr int32_t AllowedPaperSizes[] = {1, 5, 2, 3, 4, 70, 71, 52, 0};

template <typename T>
T clamp(T value, T lowest, T highest)
{
    return value < lowest ? lowest : value > highest ? highest : value;
}

int32_t readInteger(ProfileStore& store, const char* key, int32_t defaultValue)
{
    return readProfileValue(store, SettingsNames::Section, key, ProfileValue::ofInteger(defaultValue)).integer;
}

void writeInteger(ProfileStore& store, const char* key, int32_t value)
{
    writeProfileValue(store, SettingsNames::Section, key, ProfileValue::ofInteger(value));
}
}

StoredSettings defaultStoredSettings()
{
    StoredSettings settings{};
    settings.resolution = 150;
    settings.pixelType = 2;
    settings.highlight = 255;
    settings.threshold = 127;
    settings.gamma = 1.0f;
    settings.right = BedWidth;
    settings.bottom = DefaultFrameBottom;
    return settings;
}

ProfileValue readProfileValue(ProfileStore& store, const char* section, const char* key,
                              const ProfileValue& defaultValue)
{
    std::string defaultText = defaultValue.kind == ProfileValueKind::Float ? formatProfileDecimal(defaultValue.number)
                                                                           : formatProfileValue(defaultValue);
    std::string text = store.read(section, key, defaultText.c_str());
    return parseProfileValue(defaultValue.kind, text.c_str());
}

void writeProfileValue(ProfileStore& store, const char* section, const char* key, const ProfileValue& value)
{
    store.write(section, key, formatProfileValue(value).c_str());
}

void LoadSettings(ProfileStore& store, StoredSettings& settings)
{
    using namespace SettingsNames;
    StoredSettings defaults = defaultStoredSettings();
    settings.resolution = readInteger(store, Resolution, defaults.resolution);
    settings.pixelType = readInteger(store, PixelType, defaults.pixelType);
    settings.brightness = clamp<int32_t>(readInteger(store, Brightness, defaults.brightness), -60, 60);
    settings.contrast = clamp<int32_t>(readInteger(store, Contrast, defaults.contrast), -35, 35);
    settings.highlight = readInteger(store, Highlight, defaults.highlight);
    settings.threshold = clamp<int32_t>(readInteger(store, Threshold, defaults.threshold), 0, 255);
    settings.shadow = readInteger(store, Shadow, defaults.shadow);
    settings.gamma = readProfileValue(store, Section, Gamma, ProfileValue::ofFloat(defaults.gamma)).number;
    settings.paperSize = readInteger(store, PaperSize, defaults.paperSize);
    clampToCapabilityRanges(settings);
    if (settings.paperSize == 0) {
        settings.left = readInteger(store, CustomLeft, defaults.left);
        settings.top = readInteger(store, CustomTop, defaults.top);
        settings.right = readInteger(store, CustomRight, defaults.right);
        settings.bottom = readInteger(store, CustomBottom, defaults.bottom);
        clampCustomFrame(settings);
    }
    settings.firstTime =
        readProfileValue(store, Section, FirstTime, ProfileValue::ofBoolean(defaults.firstTime)).flag;
}

void SaveSettings(ProfileStore& store, const StoredSettings& settings)
{
    using namespace SettingsNames;
    writeInteger(store, Resolution, settings.resolution);
    writeInteger(store, PixelType, settings.pixelType);
    writeInteger(store, Brightness, settings.brightness);
    writeInteger(store, Contrast, settings.contrast);
    writeInteger(store, Highlight, settings.highlight);
    writeInteger(store, Threshold, settings.threshold);
    writeInteger(store, Shadow, settings.shadow);
    writeProfileValue(store, Section, Gamma, ProfileValue::ofFloat(settings.gamma));
    writeInteger(store, PaperSize, settings.paperSize);
    writeProfileValue(store, Section, FirstTime, ProfileValue::ofBoolean(settings.firstTime));
}

void SaveCustomFrame(ProfileStore& store, const StoredSettings& settings)
{
    using namespace SettingsNames;
    writeInteger(store, CustomLeft, settings.left);
    writeInteger(store, CustomTop, settings.top);
    writeInteger(store, CustomRight, settings.right);
    writeInteger(store, CustomBottom, settings.bottom);
}

void applyStoredSettings(const StoredSettings& settings, ScanParameters& parameters)
{
    parameters.resolution = settings.resolution;
    parameters.pixelType = settings.pixelType;
    parameters.brightness = settings.brightness;
    parameters.contrast = settings.contrast;
    parameters.highlight = settings.highlight;
    parameters.threshold = settings.threshold;
    parameters.shadow = settings.shadow;
    parameters.gamma = settings.gamma;
    parameters.paperSize = settings.paperSize;
    if (settings.paperSize == 0) {
        parameters.left = settings.left;
        parameters.top = settings.top;
        parameters.right = settings.right;
        parameters.bottom = settings.bottom;
    }
    parameters.firstTime = settings.firstTime ? 1 : 0;
}

void captureStoredSettings(const ScanParameters& parameters, StoredSettings& settings)
{
    settings.resolution = parameters.resolution;
    settings.pixelType = parameters.pixelType;
    settings.brightness = parameters.brightness;
    settings.contrast = parameters.contrast;
    settings.highlight = parameters.highlight;
    settings.threshold = parameters.threshold;
    settings.shadow = parameters.shadow;
    settings.gamma = parameters.gamma;
    settings.paperSize = parameters.paperSize;
    settings.left = parameters.left;
    settings.top = parameters.top;
    settings.right = parameters.right;
    settings.bottom = parameters.bottom;
    settings.firstTime = parameters.firstTime != 0;
}

void clampToCapabilityRanges(StoredSettings& settings)
{
    StoredSettings defaults = defaultStoredSettings();
    // Resolutions between the listed ones are legitimate: the scan rounds them.
    settings.resolution = clamp<int32_t>(settings.resolution, 150, 600);
    if (settings.pixelType < 0 || settings.pixelType > 2)
        settings.pixelType = defaults.pixelType;
    settings.brightness = clamp<int16_t>(settings.brightness, -60, 60);
    settings.contrast = clamp<int16_t>(settings.contrast, -35, 35);
    settings.highlight = clamp<int32_t>(settings.highlight, 0, 255);
    settings.shadow = clamp<int32_t>(settings.shadow, 0, 255);
    settings.threshold = clamp<int16_t>(settings.threshold, 0, 255);
    if (!isfinite(settings.gamma))
        settings.gamma = defaults.gamma;
    settings.gamma = clamp(settings.gamma, 0.0f, 10.0f);
    bool allowed = false;
    for (int32_t size : AllowedPaperSizes)
        allowed = allowed || size == settings.paperSize;
    if (!allowed)
        settings.paperSize = 0;
}

void clampCustomFrame(StoredSettings& settings)
{
    settings.left = clamp<int32_t>(settings.left, 0, BedWidth);
    settings.right = clamp<int32_t>(settings.right, 0, BedWidth);
    settings.top = clamp<int32_t>(settings.top, 0, BedLength);
    settings.bottom = clamp<int32_t>(settings.bottom, 0, BedLength);
    if (settings.right <= settings.left || settings.bottom <= settings.top) {
        StoredSettings defaults = defaultStoredSettings();
        settings.left = defaults.left;
        settings.top = defaults.top;
        settings.right = defaults.right;
        settings.bottom = defaults.bottom;
    }
}
