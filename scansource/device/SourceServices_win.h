#pragma once
// What the device shell and its dialog take from the source's entry layer:
// the text mode, localised texts and the module holding the resources.
#include <windows.h>

bool sourceAnsiMode();
// As LoadLocalizedString: the copied length when a translation exists,
// minus the key's length when only the key was found, -1 for no entry.
int sourceLoadLocalizedString(UINT stringId, void* buffer, int bufferBytes);
HINSTANCE sourceModule();
