#pragma once
// The modeless progress dialog of a scan: bar 1017, percentage 1019, and
// Cancel (1071), which sets cancelRequested and sends the abort command.
#include <windows.h>

#include <functional>

#include "shell/windows/DialogProcedure.h"

constexpr int IDD_DLG_SCAN_CALDER_DBCS = 108;
constexpr int IDD_DLG_SCAN_CALDER_UNICODE = 109;
constexpr int IDC_SCAN_PROGRESS = 1017;
constexpr int IDC_SCAN_PERCENT = 1019;
constexpr int IDC_SCAN_CANCEL = 1071;

class ScanProgressDialog : public DialogObject {
public:
    // Sends ESC S A; true when it went out.
    using AbortSender = std::function<bool()>;

    explicit ScanProgressDialog(AbortSender sendAbort) : sendAbort_(std::move(sendAbort)) {}
    ScanProgressDialog(const ScanProgressDialog&) = delete;
    ScanProgressDialog& operator=(const ScanProgressDialog&) = delete;
    ~ScanProgressDialog() { destroy(); }

    bool create(HWND owner);
    // Hands the dialog's pending messages to it without waiting.
    void dispatchMessages();
    void showPercent(int percent);
    void destroy();
    HWND window() const { return window_; }

private:
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInitDialog();
    void onCancel();

    AbortSender sendAbort_;
    HWND window_ = nullptr;
    HBRUSH greyBrush_ = nullptr;
};
