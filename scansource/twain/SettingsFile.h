#pragma once
// The user's last scan settings, kept between sessions in the profile file.
#include <stdint.h>

#include <string>

#include "ProfileValues.h"

// The settings the file holds, as the scan uses them. Frame coordinates are
// in 1/4800 inch; the bed is 40800 wide and 67200 (14 inches) long.
struct StoredSettings {
    int32_t resolution;
    int32_t pixelType;
    int16_t brightness;
    int16_t contrast;
    int32_t highlight;
    int16_t threshold;
    int32_t shadow;
    float gamma;
    int32_t paperSize;
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    bool firstTime;
};

// The values of a file without keys.
StoredSettings defaultStoredSettings();

// Access to one profile file: read one key with a default text, write one key
// and flush the file cache.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    virtual std::string read(const char* section, const char* key, const char* defaultText) = 0;
    virtual void write(const char* section, const char* key, const char* text) = 0;
};

namespace SettingsNames {
constexpr const char* Section = "Settings";
constexpr const char* Resolution = "Resolution";
constexpr const char* PixelType = "PixelType";
constexpr const char* Brightness = "Brightness";
constexpr const char* Contrast = "Contrast";
constexpr const char* Highlight = "Highlight";
constexpr const char* Threshold = "Threshold";
constexpr const char* Shadow = "Shadow";
constexpr const char* FirstTime = "FirstTime";
constexpr const char* Gamma = "Gamma";
constexpr const char* PaperSize = "PaperSize";
constexpr const char* CustomLeft = "custom-left";
constexpr const char* CustomTop = "custom-top";
constexpr const char* CustomRight = "custom-right";
constexpr const char* CustomBottom = "custom-bottom";
}

ProfileValue readProfileValue(ProfileStore& store, const char* section, const char* key,
                              const ProfileValue& defaultValue);
void writeProfileValue(ProfileStore& store, const char* section, const char* key, const ProfileValue& value);

// Reads the settings; the custom frame only when the paper size is the
// custom area (0), otherwise the frame keeps its value. Values outside what
// the capabilities allow are brought back into range, so that a hand-edited
// file cannot drive a scan out of range.
void LoadSettings(ProfileStore& store, StoredSettings& settings);

// Writes every key but the custom frame.
void SaveSettings(ProfileStore& store, const StoredSettings& settings);

// Writes the four custom frame keys (the scan settings window's selection).
void SaveCustomFrame(ProfileStore& store, const StoredSettings& settings);

// A session works on the scan parameters: they start from the file's
// settings at open and are written back at close. The frame comes from the
// file only with the custom area (paper size 0), the one case it holds it.
struct ScanParameters;
void applyStoredSettings(const StoredSettings& settings, ScanParameters& parameters);
void captureStoredSettings(const ScanParameters& parameters, StoredSettings& settings);

void clampToCapabilityRanges(StoredSettings& settings);
void clampCustomFrame(StoredSettings& settings);
