#pragma once
// The source's process-wide copy of the settings its settings file holds.
#include <windows.h>

#include <string>

#include "SettingsFile.h"
#include "shell/SettingsFilePath.h"

StoredSettings& storedSettings();

// Read at MSG_OPENDS, written at MSG_CLOSEDS.
void LoadSettings();
void SaveSettings();
// The four custom frame keys, written when the user draws a selection.
void SaveCustomFrame();

// Single keys named by string-table ids; each write flushes the file.
ProfileValue ReadProfileValue(UINT sectionId, UINT keyId, const ProfileValue& defaultValue);
void WriteProfileValue(UINT sectionId, UINT keyId, const ProfileValue& value);
