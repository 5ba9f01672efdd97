#pragma once
// The preview of the scanner bed ("ScreenClass"): the last preview image,
// scaled to the window's width, and the selection rectangle the user draws.
#include <windows.h>

#include <string>

#include "ScanWindowRules.h"

// Sent to the parent when the user has drawn a selection; the scan frame in
// ScanParameters already holds it.
constexpr UINT WM_PREVIEW_SELECTION_DRAWN = WM_APP + 28;

// Registers the class anew (dropping an older registration) and creates the
// window as a bordered, sunken child on the given client rectangle.
HWND CreatePreviewWindow(HWND parent, const RECT& area);

// Takes over the DIB and frees the one shown before.
void ReplacePreviewImage(HWND preview, HGLOBAL dib);

// Shows the frame (1/4800 inch) as the selection rectangle.
void ShowFrameInPreview(HWND preview, const scanwindow::Frame& frame);

// Where the preview image is kept between openings of the window.
std::string PreviewImagePath();
