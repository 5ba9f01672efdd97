#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ScanParameters.h"
#include "SettingsFile.h"

namespace {
// A profile file in memory; records the order of writes.
class MemoryProfile : public ProfileStore {
public:
    std::map<std::string, std::string> keys;
    std::vector<std::string> reads;
    std::vector<std::string> writes;

    std::string read(const char* section, const char* key, const char* defaultText) override
    {
        reads.push_back(key);
        auto found = keys.find(std::string(section) + "/" + key);
        return found == keys.end() ? defaultText : found->second;
    }

    void write(const char* section, const char* key, const char* text) override
    {
        writes.push_back(key);
        keys[std::string(section) + "/" + key] = text;
    }

    void set(const char* key, const char* text) { keys[std::string("Settings/") + key] = text; }
    std::string get(const char* key) { return keys[std::string("Settings/") + key]; }
};

StoredSettings garbage()
{
    StoredSettings settings{};
    settings.left = 111;
    settings.top = 222;
    settings.right = 3333;
    settings.bottom = 4444;
    return settings;
}
}

TEST(SettingsFile, NoFileGivesTheDefaults)
{
    MemoryProfile profile;
    StoredSettings settings = garbage();
    LoadSettings(profile, settings);
    EXPECT_EQ(settings.resolution, 150);
    EXPECT_EQ(settings.pixelType, 2);
    EXPECT_EQ(settings.brightness, 0);
    EXPECT_EQ(settings.contrast, 0);
    EXPECT_EQ(settings.highlight, 255);
    EXPECT_EQ(settings.shadow, 0);
    EXPECT_EQ(settings.threshold, 127);
    EXPECT_FLOAT_EQ(settings.gamma, 1.0f);
    EXPECT_EQ(settings.paperSize, 0);
    EXPECT_EQ(settings.left, 0);
    EXPECT_EQ(settings.top, 0);
    EXPECT_EQ(settings.right, 40800);
    EXPECT_EQ(settings.bottom, 52800);
    EXPECT_FALSE(settings.firstTime);
}

TEST(SettingsFile, SaveWritesEveryKeyButTheFrameInOrder)
{
    MemoryProfile profile;
    StoredSettings settings = defaultStoredSettings();
    settings.gamma = 2.2f;
    settings.brightness = -12;
    settings.firstTime = true;
    SaveSettings(profile, settings);
    EXPECT_EQ(profile.writes, (std::vector<std::string>{"Resolution", "PixelType", "Brightness", "Contrast",
                                                         "Highlight", "Threshold", "Shadow", "Gamma", "PaperSize",
                                                         "FirstTime"}));
    EXPECT_EQ(profile.get("Gamma"), "2.2000003.1");
    EXPECT_EQ(profile.get("Brightness"), "-12");
    EXPECT_EQ(profile.get("FirstTime"), "TRUE");

    StoredSettings loaded = garbage();
    LoadSettings(profile, loaded);
    EXPECT_FLOAT_EQ(loaded.gamma, 2.2000003f);
    EXPECT_EQ(loaded.brightness, -12);
    EXPECT_TRUE(loaded.firstTime);
    SaveSettings(profile, loaded);
    EXPECT_EQ(profile.get("Gamma"), "2.2000003.1");
}

TEST(SettingsFile, FirstTimeIsCaseSensitive)
{
    MemoryProfile profile;
    profile.set("FirstTime", "true");
    StoredSettings settings{};
    LoadSettings(profile, settings);
    EXPECT_FALSE(settings.firstTime);
}

TEST(SettingsFile, AStandardPaperSizeLeavesTheCustomKeysUnread)
{
    MemoryProfile profile;
    profile.set("PaperSize", "3");
    profile.set("custom-left", "100");
    StoredSettings settings = garbage();
    LoadSettings(profile, settings);
    EXPECT_EQ(settings.paperSize, 3);
    EXPECT_EQ(settings.left, 111) << "the frame keeps its value";
    EXPECT_EQ(settings.bottom, 4444);
    for (const std::string& key : profile.reads)
        EXPECT_EQ(key.rfind("custom-", 0), std::string::npos) << key;
}

TEST(SettingsFile, TheCustomAreaIsReadForPaperSizeZero)
{
    MemoryProfile profile;
    profile.set("custom-left", "480");
    profile.set("custom-top", "960");
    profile.set("custom-right", "20000");
    profile.set("custom-bottom", "30000");
    StoredSettings settings{};
    LoadSettings(profile, settings);
    EXPECT_EQ(settings.left, 480);
    EXPECT_EQ(settings.top, 960);
    EXPECT_EQ(settings.right, 20000);
    EXPECT_EQ(settings.bottom, 30000);
}

TEST(SettingsFile, ASessionStartsFromTheFileAndIsWrittenBackFromTheScanParameters)
{
    MemoryProfile profile;
    profile.set("Resolution", "600");
    profile.set("PixelType", "0");
    profile.set("Threshold", "90");
    profile.set("PaperSize", "3");
    StoredSettings settings = defaultStoredSettings();
    LoadSettings(profile, settings);
    ScanParameters parameters;
    parameters.left = 4800;
    applyStoredSettings(settings, parameters);
    EXPECT_EQ(parameters.resolution, 600);
    EXPECT_EQ(parameters.pixelType, 0);
    EXPECT_EQ(parameters.threshold, 90);
    EXPECT_EQ(parameters.paperSize, 3);
    EXPECT_EQ(parameters.left, 4800) << "a standard size leaves the frame to the paper table";
    EXPECT_EQ(parameters.firstTime, 0);

    parameters.resolution = 150;
    parameters.pixelType = 1;
    parameters.firstTime = 1;
    captureStoredSettings(parameters, settings);
    SaveSettings(profile, settings);
    EXPECT_EQ(profile.get("Resolution"), "150");
    EXPECT_EQ(profile.get("PixelType"), "1");
    EXPECT_EQ(profile.get("FirstTime"), "TRUE");
}

TEST(SettingsFile, HandEditedValuesAreBroughtIntoRange)
{
    MemoryProfile profile;
    profile.set("Resolution", "100000");
    profile.set("PixelType", "9");
    profile.set("Brightness", "-70000");
    profile.set("Contrast", "36");
    profile.set("Highlight", "999");
    profile.set("Threshold", "-5");
    profile.set("Shadow", "-1");
    profile.set("Gamma", "1e999");
    profile.set("PaperSize", "6");
    profile.set("custom-left", "-10");
    profile.set("custom-right", "90000");
    profile.set("custom-bottom", "70000");
    StoredSettings settings{};
    LoadSettings(profile, settings);
    EXPECT_EQ(settings.resolution, 600);
    EXPECT_EQ(settings.pixelType, 2);
    EXPECT_EQ(settings.brightness, -60);
    EXPECT_EQ(settings.contrast, 35);
    EXPECT_EQ(settings.highlight, 255);
    EXPECT_EQ(settings.threshold, 0);
    EXPECT_EQ(settings.shadow, 0);
    EXPECT_GE(settings.gamma, 0.0f);
    EXPECT_LE(settings.gamma, 10.0f);
    EXPECT_EQ(settings.paperSize, 0) << "a size the capabilities do not offer becomes the custom area";
    EXPECT_EQ(settings.left, 0);
    EXPECT_EQ(settings.right, 40800);
    EXPECT_EQ(settings.bottom, 67200);
}

TEST(SettingsFile, AnEmptyOrInvertedCustomAreaFallsBackToTheDefaultFrame)
{
    MemoryProfile profile;
    profile.set("custom-left", "30000");
    profile.set("custom-right", "1000");
    StoredSettings settings{};
    LoadSettings(profile, settings);
    EXPECT_EQ(settings.left, 0);
    EXPECT_EQ(settings.right, 40800);
    EXPECT_EQ(settings.bottom, 52800);
}

TEST(SettingsFile, SingleValuesByKind)
{
    MemoryProfile profile;
    writeProfileValue(profile, "IDS_ASKABOUTLARGEIMAGE", "IDS_DONTASKKEY", ProfileValue::ofBoolean(true));
    EXPECT_EQ(profile.keys["IDS_ASKABOUTLARGEIMAGE/IDS_DONTASKKEY"], "TRUE");
    EXPECT_TRUE(readProfileValue(profile, "IDS_ASKABOUTLARGEIMAGE", "IDS_DONTASKKEY", ProfileValue::ofBoolean(false))
                    .flag);
    EXPECT_EQ(readProfileValue(profile, "IDS_FILTER_SETTINGS", "IDS_TAPA", ProfileValue::ofInteger(4)).integer, 4);
    EXPECT_FLOAT_EQ(readProfileValue(profile, "Settings", "Gamma", ProfileValue::ofFloat(1.0f)).number, 1.0f)
        << "a missing float reads as its default, without the stored suffix";
}
