#include "SelectorDlg.h"

#include "AboutDlg.h"
#include "SelectorApp.h"
#include "SelectorRows.h"
#include "WindowMessageQueue.h"
#include "resource.h"

namespace {

constexpr COLORREF kHeaderImageMask = RGB(255, 0, 255);

struct ColumnLayout {
    const char* header;
    int insertFormat;
};

const ColumnLayout kColumns[kSelectorColumnCount] = {
    {"Enabled", LVCFMT_CENTER},  {"Unit Name", LVCFMT_LEFT},    {"IP Address", LVCFMT_CENTER},
    {"Port Name", LVCFMT_CENTER}, {"Printer Name", LVCFMT_CENTER}, {"Confirm", LVCFMT_LEFT},
};

}  // namespace

INT_PTR CSelectorDlg::DoModal()
{
    return DialogBoxParamA(app_.Instance(), MAKEINTRESOURCEA(IDD_SELECTOR), nullptr, &CSelectorDlg::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CSelectorDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<CSelectorDlg*>(lParam);
        self->dialog_ = dialog;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<CSelectorDlg*>(GetWindowLongPtrA(dialog, DWLP_USER));
    return self ? self->HandleMessage(message, wParam, lParam) : FALSE;
}

void CSelectorDlg::SetResult(LRESULT result)
{
    SetWindowLongPtrA(dialog_, DWLP_MSGRESULT, result);
}

std::string CSelectorDlg::LoadText(UINT id) const
{
    char text[1024] = {};
    LoadStringA(app_.Instance(), id, text, sizeof text);
    return text;
}

INT_PTR CSelectorDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CCheckListCtrl::CheckboxClickedMessage()) {
        SetResult(OnCheckboxClicked(static_cast<int>(wParam), static_cast<int>(lParam)));
        return TRUE;
    }
    if (message == CCheckListCtrl::ComboSelectionMessage()) {
        SetResult(0);
        return TRUE;
    }
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_REFRESH:
            Refresh();
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog_, LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
        }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        LRESULT result = 0;
        if (list_.OnParentNotify(header, result)) {
            SetResult(result);
            return TRUE;
        }
        if (header->idFrom == IDC_DEVICE_LIST) {
            switch (header->code) {
            case NM_CLICK:
            case NM_DBLCLK:
            case LVN_COLUMNCLICK:
            case LVN_ITEMCHANGED:
                SetResult(0);
                return TRUE;
            default:
                break;
            }
        }
        return FALSE;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == kAboutCommand) {
            CAboutDlg about;
            about.DoModal(app_.Instance(), dialog_);
            return TRUE;
        }
        return FALSE;
    case WM_PAINT:
        if (IsIconic(dialog_)) {
            PaintMinimised();
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOLORCHANGE:
        // Only top-level windows hear of it; the list re-reads its colours.
        SendMessageA(list_.Handle(), WM_SYSCOLORCHANGE, wParam, lParam);
        return FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(icon_);
    case WM_SETCURSOR:
        if (waitCursorCount_ > 0) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            SetResult(TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        if (headerImages_) {
            list_.Header().SetImageList(nullptr);
            ImageList_Destroy(headerImages_);
            headerImages_ = nullptr;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void CSelectorDlg::OnInitDialog()
{
    const std::string about = LoadText(IDS_ABOUTBOX);
    HMENU systemMenu = GetSystemMenu(dialog_, FALSE);
    if (systemMenu && !about.empty()) {
        AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu, MF_STRING, kAboutCommand, about.c_str());
    }
    icon_ = static_cast<HICON>(LoadImageA(app_.Instance(), MAKEINTRESOURCEA(IDI_SELECTOR), IMAGE_ICON, 0, 0,
                                          LR_DEFAULTSIZE | LR_SHARED));
    smallIcon_ = static_cast<HICON>(LoadImageA(app_.Instance(), MAKEINTRESOURCEA(IDI_SELECTOR), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    SendMessageA(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    list_.SubclassDlgItem(dialog_, IDC_DEVICE_LIST);
    SendMessageA(list_.Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT);
    list_.EnableToolTips(true);
    list_.SetEmptyText(LoadText(IDS_NO_PRINTERS_FOUND));
    InsertColumns();
    Refresh();
}

void CSelectorDlg::InsertColumns()
{
    RECT outer = {};
    GetWindowRect(list_.Handle(), &outer);
    const auto widths = SelectorColumnWidths(outer.right - outer.left);
    for (int column = 0; column < kSelectorColumnCount; ++column) {
        LVCOLUMNA columnInfo = {};
        columnInfo.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        columnInfo.fmt = kColumns[column].insertFormat;
        columnInfo.pszText = const_cast<char*>(kColumns[column].header);
        columnInfo.cx = widths[column];
        columnInfo.iSubItem = column;
        SendMessageA(list_.Handle(), LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&columnInfo));
    }
    for (int column = 0; column <= kColumnPrinterName; ++column) {
        LVCOLUMNA columnInfo = {};
        columnInfo.mask = LVCF_FMT;
        columnInfo.fmt = LVCFMT_CENTER;
        SendMessageA(list_.Handle(), LVM_SETCOLUMNA, column, reinterpret_cast<LPARAM>(&columnInfo));
    }
    // The list view keeps its first column left-aligned; the header, which
    // the cells follow, is told directly.
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (SendMessageA(list_.Header().Handle(), HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
        item.fmt = (item.fmt & ~HDF_JUSTIFYMASK) | HDF_CENTER;
        SendMessageA(list_.Header().Handle(), HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }

    headerImages_ = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0);
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(app_.Instance(), MAKEINTRESOURCEA(IDB_HEADER_CHECKBOXES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (headerImages_ && strip) {
        ImageList_AddMasked(headerImages_, strip, kHeaderImageMask);
    }
    if (strip) {
        DeleteObject(strip);
    }
    list_.Header().SetImageList(headerImages_);
    for (int column = 0; column < kSelectorColumnCount; ++column) {
        list_.Header().SetItemImage(column, kHeaderNoCheckbox);
    }
}

void CSelectorDlg::BeginWaitCursor()
{
    ++waitCursorCount_;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void CSelectorDlg::EndWaitCursor()
{
    if (waitCursorCount_ > 0 && --waitCursorCount_ == 0) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
    }
}

void CSelectorDlg::Refresh()
{
    // The search dispatches messages while it waits; a posted Refresh or
    // click must not start a second search inside the first.
    if (searching_) {
        return;
    }
    searching_ = true;
    HWND refresh = GetDlgItem(dialog_, IDC_REFRESH);
    EnableWindow(refresh, FALSE);
    list_.SetEmptyText(LoadText(IDS_SEARCHING));
    list_.DeleteAllItems();
    InvalidateRect(list_.Handle(), nullptr, TRUE);
    EnableWindow(list_.Handle(), FALSE);
    BeginWaitCursor();

    if (PrinterSetup* setup = app_.Setup().setup) {
        setup->EnumerateTcpPorts();
    }
    app_.BroadcastQueries();
    PumpReplies();
    app_.MatchReplies(*this);

    list_.SetEmptyText(LoadText(IDS_NO_PRINTERS_FOUND));
    InvalidateRect(list_.Handle(), nullptr, TRUE);
    EnableWindow(refresh, TRUE);
    EnableWindow(list_.Handle(), TRUE);
    EndWaitCursor();
    searching_ = false;
}

// Dispatches messages, the socket notifications among them, for one
// second, measured in milliseconds: the whole-second clock could end the
// wait after a few milliseconds and miss every reply.
void CSelectorDlg::PumpReplies()
{
    constexpr int kPumpMilliseconds = 1000;
    WindowMessageQueue queue;
    SystemClock clock;
    PumpMessages(queue, clock, kPumpMilliseconds);
}

void CSelectorDlg::AddDeviceRow(const std::string& netbiosName, const std::string& addressText,
                                const std::string& dnsName, const std::string& /*modelText*/)
{
    SendMessageA(list_.Handle(), WM_SETREDRAW, FALSE, 0);
    AddDeviceRowTo(*this, app_.Setup(), netbiosName, addressText, dnsName);
    SendMessageA(list_.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_.Handle(), nullptr, FALSE);
}

LRESULT CSelectorDlg::OnCheckboxClicked(int row, int column)
{
    if (searching_) {
        SetCheckbox(row, column, GetCheckbox(row, column) == 1 ? 0 : 1);
        return kTickTakenBack;
    }
    return HandleCheckboxClick(row, column, *this, app_.Devices(), app_.Setup(), [this] { Refresh(); });
}

void CSelectorDlg::PaintMinimised()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog_, &paint);
    SendMessageA(dialog_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client = {};
    GetClientRect(dialog_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(dialog_, &paint);
}

int CSelectorDlg::AppendRow()
{
    return list_.InsertItem(list_.GetItemCount(), "");
}

void CSelectorDlg::SetItemText(int row, int column, const std::string& text)
{
    list_.SetItemText(row, column, text);
}

void CSelectorDlg::SetItemToolTipText(int row, int column, const std::string& text)
{
    list_.SetItemToolTipText(row, column, text);
}

void CSelectorDlg::SetCheckbox(int row, int column, int state)
{
    list_.SetCheckbox(row, column, state);
}

int CSelectorDlg::GetCheckbox(int row, int column) const
{
    return list_.GetCheckbox(row, column);
}

std::string CSelectorDlg::GetItemText(int row, int column) const
{
    return list_.GetItemText(row, column);
}
