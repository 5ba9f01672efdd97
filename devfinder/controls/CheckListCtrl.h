#pragma once
// A report-style list view whose cells the program draws itself, so that
// a cell can hold a checkbox and its own tooltip and an empty list can say
// why it is empty. It takes over a list view of a dialog; the dialog passes
// the list's WM_NOTIFY messages to OnParentNotify.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "CellDrawing.h"
#include "CellRecord.h"
#include "XHeaderCtrl.h"

class CCheckListCtrl {
public:
    CCheckListCtrl() = default;
    CCheckListCtrl(const CCheckListCtrl&) = delete;
    CCheckListCtrl& operator=(const CCheckListCtrl&) = delete;
    ~CCheckListCtrl();

    // Registered messages sent to the parent: wParam = row, lParam = column.
    static UINT CheckboxClickedMessage();
    static UINT ComboSelectionMessage();

    bool SubclassDlgItem(HWND dialog, int controlId);
    HWND Handle() const { return list_; }
    CXHeaderCtrl& Header() { return header_; }

    int InsertItem(int row, const std::string& text);
    bool DeleteAllItems();
    bool SetItemText(int row, int column, const std::string& text);
    bool SetItemToolTipText(int row, int column, const std::string& text);
    bool SetCheckbox(int row, int column, int state);
    int GetCheckbox(int row, int column) const;
    std::string GetItemText(int row, int column) const;
    int SetEmptyText(const std::string& text);
    void EnableToolTips(bool enable);

    int GetItemCount() const;
    int GetColumnCount() const;

    // Custom drawing and header checkbox clicks; true when handled, with result set.
    bool OnParentNotify(const NMHDR* header, LRESULT& result);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    CellArray* CellsOf(int row) const;
    CellRecord* Cell(int row, int column) const;
    PixelRect CellRect(int row, int column) const;
    void RedrawCell(int row, int column);
    void UpdateHeaderCheckbox(int column);
    void MirrorStateImage(int row);
    void ReadSystemColours();
    void FreeAllCells();

    void OnLeftButtonDown(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(LPARAM lParam);
    bool OnToolTipText(NMHDR* header);
    void PaintEmptyText();
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    void DrawCell(HDC dc, int row, int column, const PixelRect& rect);
    void DrawCheckboxCell(HDC dc, const CellRecord& cell, const PixelRect& rect, const CellColours& colours,
                          bool rowEnabled, const std::string& text);
    void DrawTextCell(HDC dc, const CellRecord& cell, const PixelRect& rect, const CellColours& colours,
                      const std::string& text, UINT alignment);
    void OnColumnClick(int column);

    HWND list_ = nullptr;
    WNDPROC originalProc_ = nullptr;
    CXHeaderCtrl header_;
    HWND toolTip_ = nullptr;
    int currentToolId_ = 0;
    int toolRow_ = -1;
    int toolColumn_ = -1;
    char toolTipBuffer_[kToolTipLimit + 1] = {};
    wchar_t toolTipWideBuffer_[kToolTipLimit + 1] = {};
    std::string emptyText_;
    SystemColours colours_;
    Colour buttonHighlight_ = 0;
    Colour buttonShadow_ = 0;
    Colour buttonText_ = 0;
};
