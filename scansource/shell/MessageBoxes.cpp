#include "shell/MessageBoxes.h"

#include <stdio.h>
#include <string.h>

#include "twain/DebugTrace.h"
#include "shell/Localization.h"
#include "twain/MessageFormat.h"
#include "resource.h"

namespace {
constexpr int TextBytes = 2048;

// A text buffer filled by LoadLocalizedString; wide or ANSI by shellState().ansiMode.
struct LocalizedText {
    alignas(wchar_t) char bytes[TextBytes];

    const char* ansi() const { return bytes; }
    const wchar_t* wide() const { return reinterpret_cast<const wchar_t*>(bytes); }
    wchar_t* wide() { return reinterpret_cast<wchar_t*>(bytes); }
};

// Messages without a string-table entry get a key of their own, so their
// box never shows an empty text.
const char* keyForMissingEntry(UINT stringId)
{
    return stringId == IDS_ERROR_IMAGE_TOO_LARGE ? "IDS_ERROR_IMAGE_TOO_LARGE" : nullptr;
}

void loadMessage(UINT stringId, LocalizedText& text)
{
    if (LoadLocalizedString(stringId, text.bytes, TextBytes) != -1)
        return;
    memset(text.bytes, 0, TextBytes);
    if (const char* key = keyForMissingEntry(stringId))
        LoadLocalizedKey(key, text.bytes, TextBytes);
}

void traceText(const LocalizedText& text)
{
    if (shellState().ansiMode) {
        DebugTrace(text.ansi());
        return;
    }
    char narrow[TextBytes];
    if (WideCharToMultiByte(CP_ACP, 0, text.wide(), -1, narrow, sizeof narrow, nullptr, nullptr) == 0)
        narrow[0] = '\0';
    narrow[sizeof narrow - 1] = '\0';
    DebugTrace(narrow);
}

int showBox(HWND owner, const LocalizedText& text, const LocalizedText& caption, UINT type)
{
    if (shellState().ansiMode)
        return MessageBoxA(owner, text.ansi(), caption.ansi(), type);
    return MessageBoxW(owner, text.wide(), caption.wide(), type);
}

int warn(HWND owner, const LocalizedText& text, BOOL show)
{
    traceText(text);
    if (!show)
        return 0;
    LocalizedText caption;
    loadMessage(IDS_TWAINUI_CAPTION, caption);
    return showBox(owner, text, caption, MB_ICONWARNING | MB_OK);
}
}

int ShowWarning(HWND owner, UINT stringId, BOOL show)
{
    LocalizedText text;
    loadMessage(stringId, text);
    return warn(owner, text, show);
}

int ShowWarningFormatted(HWND owner, UINT stringId, int value, BOOL show)
{
    LocalizedText format;
    loadMessage(stringId, format);
    LocalizedText text;
    if (shellState().ansiMode)
        formatMessageWithInteger(format.ansi(), value, text.bytes, TextBytes);
    else
        formatMessageWithInteger(format.wide(), value, text.wide(), TextBytes / 2);
    return warn(owner, text, show);
}

int AskOkCancel(HWND owner, UINT textId, UINT captionId)
{
    LocalizedText text;
    LocalizedText caption;
    loadMessage(textId, text);
    loadMessage(captionId, caption);
    traceText(text);
    return showBox(owner, text, caption, MB_ICONWARNING | MB_OKCANCEL) == IDOK ? IDOK : IDCANCEL;
}

int ShowPlainWarning(HWND owner, UINT stringId, int line, const char* sourceName)
{
    char text[1024] = "";
    LoadStringA(shellState().instance, stringId, text, sizeof text);
    int result = MessageBoxA(owner, text, "Calder TWAIN Driver", MB_ICONWARNING | MB_OK);
    char trace[1400];
    snprintf(trace, sizeof trace, "%s\n\n%d @ %s", text, line, sourceName ? sourceName : "");
    DebugTrace(trace);
    return result;
}
