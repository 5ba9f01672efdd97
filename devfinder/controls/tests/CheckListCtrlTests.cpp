// The checkbox list in a window of its own: cell state, the click that
// toggles a tick and tells the parent, tooltips and the drawn cells.
#include <gtest/gtest.h>

#include <vector>

#include "CheckListCtrl.h"

namespace {

constexpr int kListId = 2002;

struct Click {
    int row;
    int column;
};

class ListHost {
public:
    ListHost()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &ListHost::WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = "CheckListHost";
        RegisterClassA(&windowClass);
        parent = CreateWindowExA(0, "CheckListHost", "Checkbox list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 500,
                                 300, nullptr, nullptr, windowClass.hInstance, this);
        CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 10, 10, 460, 230, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), windowClass.hInstance, nullptr);
        list.SubclassDlgItem(parent, kListId);
        SendMessageA(list.Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
        const char* headers[] = {"Enabled", "Unit Name", "IP Address"};
        for (int column = 0; column < 3; ++column) {
            LVCOLUMNA columnInfo = {};
            columnInfo.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
            columnInfo.fmt = LVCFMT_CENTER;
            columnInfo.pszText = const_cast<char*>(headers[column]);
            columnInfo.cx = 120;
            SendMessageA(list.Handle(), LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&columnInfo));
        }
        list.EnableToolTips(true);
    }

    ~ListHost() { DestroyWindow(parent); }

    void Pump()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    void AddRows(int count)
    {
        for (int row = 0; row < count; ++row) {
            ASSERT_EQ(list.InsertItem(row, ""), row);
            list.SetItemText(row, 1, "unit" + std::to_string(row));
            list.SetCheckbox(row, 0, 0);
        }
    }

    POINT CellMiddle(int row, int column) const
    {
        RECT rect = {};
        rect.top = column;
        rect.left = LVIR_BOUNDS;
        SendMessageA(list.Handle(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        if (column == 0) {
            rect.right = rect.left + static_cast<int>(SendMessageA(list.Handle(), LVM_GETCOLUMNWIDTH, 0, 0));
        }
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    void ClickAt(POINT point)
    {
        SendMessageA(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        SendMessageA(list.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        Pump();
    }

    HWND ToolTipWindow() const
    {
        struct Search {
            HWND found = nullptr;
        } search;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM parameter) -> BOOL {
                char name[64] = {};
                GetClassNameA(window, name, sizeof name);
                if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) {
                    reinterpret_cast<Search*>(parameter)->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // Asks the list for the tooltip text the way the tooltip does, after the
    // mouse has moved over the cell.
    std::string ToolTipFor(int row, int column)
    {
        const POINT point = CellMiddle(row, column);
        SendMessageA(list.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = ToolTipWindow();
        info.hdr.idFrom = 1;
        info.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(list.Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&info));
        return info.lpszText ? info.lpszText : "";
    }

    COLORREF PixelInList(int x, int y) const
    {
        HDC dc = GetDC(list.Handle());
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(list.Handle(), dc);
        return colour;
    }

    HWND parent = nullptr;
    CCheckListCtrl list;
    std::vector<Click> clicks;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        }
        auto* host = reinterpret_cast<ListHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (host && message == CCheckListCtrl::CheckboxClickedMessage()) {
            host->clicks.push_back({static_cast<int>(wParam), static_cast<int>(lParam)});
            return 0;
        }
        if (host && message == WM_NOTIFY) {
            LRESULT result = 0;
            if (host->list.OnParentNotify(reinterpret_cast<NMHDR*>(lParam), result)) {
                return result;
            }
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

class CheckListCtrlTest : public ::testing::Test {
protected:
    ListHost host;
};

TEST_F(CheckListCtrlTest, CheckStatesAreKeptPerCellAndIndexesAreChecked)
{
    host.AddRows(2);
    EXPECT_TRUE(host.list.SetCheckbox(1, 0, 1));
    EXPECT_EQ(host.list.GetCheckbox(0, 0), 0);
    EXPECT_EQ(host.list.GetCheckbox(1, 0), 1);
    EXPECT_EQ(host.list.GetCheckbox(1, 2), -1) << "a cell that never got a checkbox";
    EXPECT_EQ(host.list.GetCheckbox(2, 0), -1);
    EXPECT_EQ(host.list.GetCheckbox(0, 7), -1);
    EXPECT_FALSE(host.list.SetCheckbox(5, 0, 1));
    EXPECT_FALSE(host.list.SetItemText(-1, 0, "x"));
    EXPECT_EQ(host.list.GetItemText(9, 1), "");
    EXPECT_EQ(host.list.GetItemText(1, 1), "unit1");
    // The tick is readable from outside as the item's state image.
    EXPECT_EQ(SendMessageA(host.list.Handle(), LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
    EXPECT_TRUE(host.list.DeleteAllItems());
    EXPECT_EQ(host.list.GetItemCount(), 0);
    EXPECT_EQ(host.list.GetCheckbox(0, 0), -1);
}

TEST_F(CheckListCtrlTest, ClickAnywhereInTheCheckboxCellTogglesItAndTellsTheParent)
{
    host.AddRows(2);
    POINT nearEdge = host.CellMiddle(1, 0);
    nearEdge.x -= 50;  // still in column 0, well away from the box
    host.ClickAt(nearEdge);
    EXPECT_EQ(host.list.GetCheckbox(1, 0), 1);
    ASSERT_EQ(host.clicks.size(), 1u);
    EXPECT_EQ(host.clicks[0].row, 1);
    EXPECT_EQ(host.clicks[0].column, 0);
    host.ClickAt(host.CellMiddle(1, 0));
    EXPECT_EQ(host.list.GetCheckbox(1, 0), 0);
    EXPECT_EQ(host.clicks.size(), 2u);
}

TEST_F(CheckListCtrlTest, ClickOnATextCellOnlySelectsTheRow)
{
    host.AddRows(2);
    host.ClickAt(host.CellMiddle(0, 1));
    EXPECT_TRUE(host.clicks.empty());
    EXPECT_EQ(host.list.GetCheckbox(0, 0), 0);
    EXPECT_EQ(SendMessageA(host.list.Handle(), LVM_GETITEMSTATE, 0, LVIS_SELECTED), LVIS_SELECTED);
}

TEST_F(CheckListCtrlTest, ToolTipIsTheCellsOwnTextCutToEightyCharacters)
{
    host.AddRows(1);
    ASSERT_NE(host.ToolTipWindow(), nullptr);
    host.list.SetItemToolTipText(0, 0, "Disabled");
    host.list.SetItemToolTipText(0, 1, std::string(120, 'n'));
    EXPECT_EQ(host.ToolTipFor(0, 0), "Disabled");
    EXPECT_EQ(host.ToolTipFor(0, 1), std::string(80, 'n'));
    EXPECT_EQ(host.ToolTipFor(0, 2), "") << "a cell without tooltip text shows none";
}

TEST_F(CheckListCtrlTest, TickIsDrawnInABoxCentredInTheCell)
{
    host.AddRows(1);
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    SendMessageA(host.list.Handle(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
    const PixelRect cell{rect.left, rect.top,
                         rect.left + static_cast<int>(SendMessageA(host.list.Handle(), LVM_GETCOLUMNWIDTH, 0, 0)),
                         rect.bottom};
    const PixelRect box = CheckboxBox(cell, false);
    const VerticalStroke stroke = TickStrokes(box)[3];  // the bottom of the V

    RedrawWindow(host.list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    host.Pump();
    EXPECT_EQ(host.PixelInList(stroke.x, stroke.top + 1), GetSysColor(COLOR_WINDOW)) << "clear box: no tick";

    host.list.SetCheckbox(0, 0, 1);
    RedrawWindow(host.list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    host.Pump();
    EXPECT_EQ(host.PixelInList(stroke.x, stroke.top + 1), RGB(0, 0, 0));
    EXPECT_EQ(host.PixelInList(box.left - 3, (box.top + box.bottom) / 2), GetSysColor(COLOR_WINDOW))
        << "left of the box is the cell's background";
}

TEST_F(CheckListCtrlTest, EmptyListShowsItsTextUnderTheHeader)
{
    RECT header = {};
    GetWindowRect(host.list.Header().Handle(), &header);
    const int textTop = header.bottom - header.top + 10;
    RECT client = {};
    GetClientRect(host.list.Handle(), &client);
    auto darkPixels = [&] {
        int count = 0;
        for (int y = textTop; y < textTop + 16; ++y) {
            for (int x = client.right / 2 - 60; x < client.right / 2 + 60; ++x) {
                count += host.PixelInList(x, y) == GetSysColor(COLOR_WINDOWTEXT);
            }
        }
        return count;
    };
    host.list.SetEmptyText("");
    RedrawWindow(host.list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    host.Pump();
    EXPECT_EQ(darkPixels(), 0);
    EXPECT_EQ(host.list.SetEmptyText("No Printers have been found."), 28);
    RedrawWindow(host.list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    host.Pump();
    EXPECT_GT(darkPixels(), 20);
}

}  // namespace
