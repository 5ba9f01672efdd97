#pragma once
// The modeless lamp-warming dialog shown while the scanner refuses the lock:
// a message, the lamp animation and Cancel, which sets cancelRequested.
#include <windows.h>

#include "shell/windows/DialogProcedure.h"

constexpr int IDD_DLG_LOCKE_DBCS = 163;
constexpr int IDD_DLG_LOCKE_UNICODE = 164;
constexpr int IDC_WAIT_MESSAGE = 1056;
constexpr int IDC_LAMP_ANIMATION = 1079;
constexpr int IDR_LAMP_ANIMATION = 170;

class LampWarmingDialog : public DialogObject {
public:
    LampWarmingDialog() = default;
    LampWarmingDialog(const LampWarmingDialog&) = delete;
    LampWarmingDialog& operator=(const LampWarmingDialog&) = delete;
    ~LampWarmingDialog() { destroy(); }

    bool create(HWND owner, UINT messageStringId);
    // Hands the dialog's pending messages to it, waiting up to
    // waitMilliseconds for the first one.
    void dispatchMessages(DWORD waitMilliseconds);
    void destroy();
    HWND window() const { return window_; }

private:
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInitDialog();
    void setText(HWND control, UINT stringId);

    HWND window_ = nullptr;
    UINT messageStringId_ = 0;
};
