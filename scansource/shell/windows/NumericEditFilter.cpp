#include "shell/windows/NumericEditFilter.h"

#include <string>

#include "twain/CallBoundary.h"

namespace {

const char kFilterProperty[] = "ZVP4NumericEditFilter";

struct FilterState {
    WNDPROC original;
    NumericEditRange range;
};

FilterState* stateOf(HWND edit) { return static_cast<FilterState*>(GetPropA(edit, kFilterProperty)); }

std::string editText(HWND edit)
{
    int length = GetWindowTextLengthA(edit);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(edit, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

LRESULT onChar(HWND edit, FilterState& state, WPARAM wParam, LPARAM lParam)
{
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    NumericKeyDecision d =
        decideNumericKey(editText(edit), static_cast<int>(start), static_cast<int>(end), static_cast<unsigned>(wParam),
                         state.range);
    switch (d.action) {
    case NumericKeyAction::passThrough:
        return CallWindowProcA(state.original, edit, WM_CHAR, wParam, lParam);
    case NumericKeyAction::undoAndBeep:
        SendMessageA(edit, EM_UNDO, 0, 0);
        MessageBeep(MB_ICONHAND);
        return 0;
    case NumericKeyAction::beep:
        MessageBeep(MB_ICONHAND);
        return 0;
    case NumericKeyAction::replaceText:
        SetWindowTextA(edit, d.text.c_str());
        SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(d.caret), static_cast<LPARAM>(d.caret));
        if (d.beep)
            MessageBeep(MB_ICONHAND);
        // The dialog learns of the change as it would from typing.
        SendMessageA(GetParent(edit), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE),
                     reinterpret_cast<LPARAM>(edit));
        return 0;
    }
    return 0;
}

LRESULT filterMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    FilterState* state = stateOf(edit);
    if (!state)
        return DefWindowProcA(edit, message, wParam, lParam);
    WNDPROC original = state->original;
    switch (message) {
    case WM_PASTE:
        return 0;
    case WM_KEYDOWN:
        // The rich edit pastes from these keys without a WM_PASTE.
        if ((wParam == 'V' && GetKeyState(VK_CONTROL) < 0) || (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0))
            return 0;
        break;
    case WM_CHAR:
        return onChar(edit, *state, wParam, lParam);
    case WM_NCDESTROY:
        removeNumericEditFilter(edit);
        break;
    default:
        break;
    }
    return CallWindowProcA(original, edit, message, wParam, lParam);
}

LRESULT CALLBACK filterProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A message the filter failed on gets the default answer, not a made-up one.
    return callAtBoundary([&] { return filterMessage(edit, message, wParam, lParam); },
                          [&](BoundaryFailure) { return DefWindowProcA(edit, message, wParam, lParam); });
}

}  // namespace

bool installNumericEditFilter(HWND edit, const NumericEditRange& range)
{
    if (FilterState* state = stateOf(edit)) {
        state->range = range;
        return true;
    }
    auto* state = new FilterState{nullptr, range};
    if (!SetPropA(edit, kFilterProperty, state)) {
        delete state;
        return false;
    }
    state->original =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(filterProc)));
    return true;
}

void removeNumericEditFilter(HWND edit)
{
    FilterState* state = stateOf(edit);
    if (!state)
        return;
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state->original));
    RemovePropA(edit, kFilterProperty);
    delete state;
}
