#pragma once
// The input filter of the settings window's numeric rich edits (contrast,
// brightness, threshold): pasting is ignored and typed characters follow
// decideNumericKey for the capability's allowed range.
#include "scanwindow/NumericEditRules.h"

#include <windows.h>

// Subclasses edit; the range can be changed by installing again.
bool installNumericEditFilter(HWND edit, const NumericEditRange& range);
void removeNumericEditFilter(HWND edit);
