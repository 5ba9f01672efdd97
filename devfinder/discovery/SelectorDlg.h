#pragma once
// The selector window (dialog 2001): the device list, Refresh and Close.
#include <winsock2.h>
#include <windows.h>

#include <string>

#include "CheckListCtrl.h"
#include "SelectorFlow.h"
#include "SearchPorts.h"

class CSelectorApp;

class CSelectorDlg : public DeviceRowSink, private SelectorList {
public:
    static constexpr UINT kAboutCommand = 0x1000;

    explicit CSelectorDlg(CSelectorApp& app) : app_(app) {}
    INT_PTR DoModal();

    // One whole search: broadcasts, one second of message pumping, matching.
    void Refresh();
    void AddDeviceRow(const std::string& netbiosName, const std::string& addressText, const std::string& dnsName,
                      const std::string& modelText) override;
    // Returns 2 when the tick was taken back, else 0.
    LRESULT OnCheckboxClicked(int row, int column);

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void InsertColumns();
    void PumpReplies();
    void PaintMinimised();
    void SetResult(LRESULT result);
    std::string LoadText(UINT id) const;
    void BeginWaitCursor();
    void EndWaitCursor();

    // The list as the selector flow sees it.
    int AppendRow() override;
    void SetItemText(int row, int column, const std::string& text) override;
    void SetItemToolTipText(int row, int column, const std::string& text) override;
    void SetCheckbox(int row, int column, int state) override;
    int GetCheckbox(int row, int column) const override;
    std::string GetItemText(int row, int column) const override;

    CSelectorApp& app_;
    HWND dialog_ = nullptr;
    CCheckListCtrl list_;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HIMAGELIST headerImages_ = nullptr;
    int waitCursorCount_ = 0;
    bool searching_ = false;
};
