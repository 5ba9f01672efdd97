#include "shell/SettingsStore.h"

#include "shell/Localization.h"
#include "ScanParameters.h"

namespace {
class IniFileStore : public ProfileStore {
public:
    IniFileStore() : path_(settingsFilePath()) {}

    std::string read(const char* section, const char* key, const char* defaultText) override
    {
        char text[256];
        GetPrivateProfileStringA(section, key, defaultText, text, sizeof text, path_.c_str());
        return text;
    }

    void write(const char* section, const char* key, const char* text) override
    {
        WritePrivateProfileStringA(section, key, text, path_.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
    }

private:
    std::string path_;
};

std::string stringTableName(UINT id)
{
    char name[256];
    int length = LoadStringA(shellState().instance, id, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}
}

StoredSettings& storedSettings()
{
    return shellState().settings;
}

void LoadSettings()
{
    IniFileStore store;
    LoadSettings(store, storedSettings());
    applyStoredSettings(storedSettings(), currentScanParameters());
}

void SaveSettings()
{
    IniFileStore store;
    captureStoredSettings(currentScanParameters(), storedSettings());
    SaveSettings(store, storedSettings());
}

void SaveCustomFrame()
{
    IniFileStore store;
    SaveCustomFrame(store, storedSettings());
}

ProfileValue ReadProfileValue(UINT sectionId, UINT keyId, const ProfileValue& defaultValue)
{
    IniFileStore store;
    return readProfileValue(store, stringTableName(sectionId).c_str(), stringTableName(keyId).c_str(), defaultValue);
}

void WriteProfileValue(UINT sectionId, UINT keyId, const ProfileValue& value)
{
    IniFileStore store;
    writeProfileValue(store, stringTableName(sectionId).c_str(), stringTableName(keyId).c_str(), value);
}
