#include "CheckListCtrl.h"

#include <vector>

namespace {

const char kObjectProperty[] = "CCheckListCtrl";
constexpr UINT_PTR kCellToolId = 1;
constexpr int kEmptyTextGap = 10;

Colour ColourOf(int index)
{
    return static_cast<Colour>(GetSysColor(index));
}

RECT ToRect(const PixelRect& rect)
{
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

void Fill(HDC dc, const RECT& rect, Colour colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

}  // namespace

CCheckListCtrl::~CCheckListCtrl()
{
    if (list_ && IsWindow(list_)) {
        FreeAllCells();
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
        RemovePropA(list_, kObjectProperty);
    }
}

UINT CCheckListCtrl::CheckboxClickedMessage()
{
    static const UINT message = RegisterWindowMessageA("WM_XLISTCTRL_CHECKBOX_CLICKED");
    return message;
}

UINT CCheckListCtrl::ComboSelectionMessage()
{
    static const UINT message = RegisterWindowMessageA("WM_XLISTCTRL_COMBO_SELECTION");
    return message;
}

bool CCheckListCtrl::SubclassDlgItem(HWND dialog, int controlId)
{
    list_ = GetDlgItem(dialog, controlId);
    if (!list_) {
        return false;
    }
    SetPropA(list_, kObjectProperty, this);
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CCheckListCtrl::SubclassProc)));
    header_.Attach(reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0)));
    ReadSystemColours();
    return true;
}

void CCheckListCtrl::ReadSystemColours()
{
    colours_.buttonFace = ColourOf(COLOR_BTNFACE);
    colours_.greyText = ColourOf(COLOR_GRAYTEXT);
    colours_.highlight = ColourOf(COLOR_HIGHLIGHT);
    colours_.highlightText = ColourOf(COLOR_HIGHLIGHTTEXT);
    colours_.window = ColourOf(COLOR_WINDOW);
    colours_.windowText = ColourOf(COLOR_WINDOWTEXT);
    buttonHighlight_ = ColourOf(COLOR_BTNHIGHLIGHT);
    buttonShadow_ = ColourOf(COLOR_BTNSHADOW);
    buttonText_ = ColourOf(COLOR_BTNTEXT);
}

int CCheckListCtrl::GetItemCount() const
{
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

int CCheckListCtrl::GetColumnCount() const
{
    return static_cast<int>(SendMessageA(header_.Handle(), HDM_GETITEMCOUNT, 0, 0));
}

CellArray* CCheckListCtrl::CellsOf(int row) const
{
    if (row < 0 || row >= GetItemCount()) {
        return nullptr;
    }
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
        return nullptr;
    }
    return reinterpret_cast<CellArray*>(item.lParam);
}

CellRecord* CCheckListCtrl::Cell(int row, int column) const
{
    CellArray* cells = CellsOf(row);
    if (!cells || column < 0 || column >= static_cast<int>(cells->size())) {
        return nullptr;
    }
    return &(*cells)[static_cast<std::size_t>(column)];
}

int CCheckListCtrl::InsertItem(int row, const std::string& text)
{
    auto* cells = new CellArray(MakeCellArray(GetColumnCount(), colours_.windowText, colours_.window));
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<char*>(text.c_str());
    item.lParam = reinterpret_cast<LPARAM>(cells);
    const int inserted = static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted < 0) {
        delete cells;
    }
    return inserted;
}

void CCheckListCtrl::FreeAllCells()
{
    const int count = GetItemCount();
    for (int row = 0; row < count; ++row) {
        CellArray* cells = CellsOf(row);
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = 0;
        SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        delete cells;
    }
}

bool CCheckListCtrl::DeleteAllItems()
{
    FreeAllCells();
    toolRow_ = toolColumn_ = -1;
    return SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0) != 0;
}

bool CCheckListCtrl::SetItemText(int row, int column, const std::string& text)
{
    if (!Cell(row, column)) {
        return false;
    }
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    const bool done = SendMessageA(list_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)) != 0;
    RedrawCell(row, column);
    UpdateWindow(list_);
    return done;
}

bool CCheckListCtrl::SetItemToolTipText(int row, int column, const std::string& text)
{
    CellRecord* cell = Cell(row, column);
    if (!cell) {
        return false;
    }
    cell->toolTip = text;
    return true;
}

bool CCheckListCtrl::SetCheckbox(int row, int column, int state)
{
    CellRecord* cell = Cell(row, column);
    if (!cell || state < kNoCheckbox || state > kChecked) {
        return false;
    }
    cell->checkState = state;
    MirrorStateImage(row);
    RedrawCell(row, column);
    UpdateHeaderCheckbox(column);
    return true;
}

int CCheckListCtrl::GetCheckbox(int row, int column) const
{
    const CellRecord* cell = Cell(row, column);
    return cell ? cell->checkState : kNoCheckbox;
}

std::string CCheckListCtrl::GetItemText(int row, int column) const
{
    if (!Cell(row, column)) {
        return std::string();
    }
    std::vector<char> buffer(260);
    for (;;) {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length =
            static_cast<std::size_t>(SendMessageA(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size()) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

int CCheckListCtrl::SetEmptyText(const std::string& text)
{
    emptyText_ = text;
    return static_cast<int>(emptyText_.size());
}

// The first column's checkbox also goes into the item's state image index
// (1 clear, 2 ticked) so tools outside the program, such as screen readers
// and the window tests, can read it the standard way. It is never drawn.
void CCheckListCtrl::MirrorStateImage(int row)
{
    const CellRecord* cell = Cell(row, 0);
    if (!cell) {
        return;
    }
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(cell->checkState + 1);
    SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

PixelRect CCheckListCtrl::CellRect(int row, int column) const
{
    RECT rect = {};
    rect.top = column;
    rect.left = LVIR_BOUNDS;
    SendMessageA(list_, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    if (column == 0) {
        // Sub-item 0's bounds are the whole row; the cell is the column's width.
        rect.right = rect.left + static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 0, 0));
    }
    return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

void CCheckListCtrl::RedrawCell(int row, int column)
{
    const RECT rect = ToRect(CellRect(row, column));
    InvalidateRect(list_, &rect, FALSE);
}

void CCheckListCtrl::UpdateHeaderCheckbox(int column)
{
    const int image = header_.GetItemImage(column);
    if (image != kHeaderUnchecked && image != kHeaderChecked) {
        return;
    }
    std::vector<int> states;
    for (int row = 0; row < GetItemCount(); ++row) {
        states.push_back(GetCheckbox(row, column));
    }
    header_.SetItemImage(column, HeaderImageForColumn(states));
}

void CCheckListCtrl::OnColumnClick(int column)
{
    const int image = header_.GetItemImage(column);
    if (image != kHeaderUnchecked && image != kHeaderChecked) {
        return;
    }
    const int newImage = image == kHeaderChecked ? kHeaderUnchecked : kHeaderChecked;
    header_.SetItemImage(column, newImage);
    const int state = newImage == kHeaderChecked ? kChecked : kUnchecked;
    for (int row = 0; row < GetItemCount(); ++row) {
        CellRecord* cell = Cell(row, column);
        if (cell && cell->checkState != kNoCheckbox) {
            cell->checkState = state;
            MirrorStateImage(row);
        }
    }
    InvalidateRect(list_, nullptr, FALSE);
}

void CCheckListCtrl::EnableToolTips(bool enable)
{
    if (!enable) {
        if (toolTip_) {
            DestroyWindow(toolTip_);
            toolTip_ = nullptr;
        }
        return;
    }
    if (toolTip_) {
        return;
    }
    toolTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, list_, nullptr,
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(list_, GWLP_HINSTANCE)), nullptr);
    if (!toolTip_) {
        return;
    }
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = list_;
    tool.uId = kCellToolId;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    GetClientRect(list_, &tool.rect);
    SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(toolTip_, TTM_SETMAXTIPWIDTH, 0, 400);
}

LRESULT CALLBACK CCheckListCtrl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<CCheckListCtrl*>(GetPropA(window, kObjectProperty));
    if (!self) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->WindowProc(message, wParam, lParam);
}

LRESULT CCheckListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(lParam);
        break;
    case WM_NOTIFY:
        if (OnToolTipText(reinterpret_cast<NMHDR*>(lParam))) {
            return 0;
        }
        break;
    case WM_PAINT: {
        const LRESULT result = CallWindowProcA(originalProc_, list_, message, wParam, lParam);
        PaintEmptyText();
        return result;
    }
    case WM_SIZE:
        if (toolTip_) {
            TOOLINFOA tool = {};
            tool.cbSize = TTTOOLINFOA_V2_SIZE;
            tool.hwnd = list_;
            tool.uId = kCellToolId;
            GetClientRect(list_, &tool.rect);
            SendMessageA(toolTip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
        }
        break;
    case WM_SYSCOLORCHANGE:
        ReadSystemColours();
        break;
    case WM_NCDESTROY: {
        FreeAllCells();
        const WNDPROC original = originalProc_;
        HWND list = list_;
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(list, kObjectProperty);
        list_ = nullptr;
        toolTip_ = nullptr;
        return CallWindowProcA(original, list, message, wParam, lParam);
    }
    default:
        break;
    }
    return CallWindowProcA(originalProc_, list_, message, wParam, lParam);
}

void CCheckListCtrl::OnLeftButtonDown(WPARAM wParam, LPARAM lParam)
{
    LVHITTESTINFO hit = {};
    hit.pt.x = static_cast<short>(LOWORD(lParam));
    hit.pt.y = static_cast<short>(HIWORD(lParam));
    SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    const int row = hit.iItem;
    const int column = hit.iSubItem;
    CellRecord* cell = row >= 0 ? Cell(row, column) : nullptr;
    const bool toggled = cell && cell->checkState != kNoCheckbox;
    if (toggled) {
        cell->checkState = ToggledCheckState(cell->checkState);
        MirrorStateImage(row);
        RedrawCell(row, column);
    }
    // The list's own handling (selection) runs before the parent hears of the
    // tick: the parent may open a modal dialog and search again, which must
    // not happen inside the list's mouse tracking.
    CallWindowProcA(originalProc_, list_, WM_LBUTTONDOWN, wParam, lParam);
    if (!toggled) {
        return;
    }
    HWND parent = GetParent(list_);
    if (parent && IsWindow(parent)) {
        SendMessageA(parent, CheckboxClickedMessage(), static_cast<WPARAM>(row), static_cast<LPARAM>(column));
    }
    if (list_) {
        UpdateHeaderCheckbox(column);
    }
}

void CCheckListCtrl::OnMouseMove(LPARAM lParam)
{
    if (!toolTip_) {
        return;
    }
    LVHITTESTINFO hit = {};
    hit.pt.x = static_cast<short>(LOWORD(lParam));
    hit.pt.y = static_cast<short>(HIWORD(lParam));
    SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    // With full-row select every part of a cell counts, also an empty one.
    const bool overCell = hit.iItem >= 0 && hit.iSubItem >= 0;
    const int toolId = overCell ? ToolIdForCell(hit.iItem, hit.iSubItem) : 0;
    if (toolId != currentToolId_) {
        // A new cell: take the old tip down so the new cell's text is asked for.
        SendMessageA(toolTip_, TTM_POP, 0, 0);
        currentToolId_ = toolId;
        toolRow_ = overCell ? hit.iItem : -1;
        toolColumn_ = overCell ? hit.iSubItem : -1;
    }
}

bool CCheckListCtrl::OnToolTipText(NMHDR* header)
{
    if (!toolTip_ || header->hwndFrom != toolTip_) {
        return false;
    }
    if (header->code != TTN_GETDISPINFOA && header->code != TTN_GETDISPINFOW) {
        return false;
    }
    const CellRecord* cell = Cell(toolRow_, toolColumn_);
    const std::string shown = cell ? ToolTipShown(cell->toolTip) : std::string();
    lstrcpynA(toolTipBuffer_, shown.c_str(), static_cast<int>(sizeof toolTipBuffer_));
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        info->lpszText = toolTipBuffer_;
        info->hinst = nullptr;
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        MultiByteToWideChar(CP_ACP, 0, toolTipBuffer_, -1, toolTipWideBuffer_,
                            static_cast<int>(kToolTipLimit + 1));
        info->lpszText = toolTipWideBuffer_;
        info->hinst = nullptr;
    }
    return true;
}

void CCheckListCtrl::PaintEmptyText()
{
    if (GetItemCount() != 0) {
        return;
    }
    RECT area = {};
    GetClientRect(list_, &area);
    RECT headerRect = {};
    if (header_.Handle() && IsWindowVisible(header_.Handle())) {
        GetWindowRect(header_.Handle(), &headerRect);
        MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&headerRect), 2);
        area.top = headerRect.bottom;
    }
    area.top += kEmptyTextGap;
    if (area.top >= area.bottom) {
        return;
    }
    HDC dc = GetDC(list_);
    Fill(dc, area, colours_.window);
    if (!emptyText_.empty()) {
        HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0)));
        SetTextColor(dc, colours_.windowText);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, emptyText_.c_str(), -1, &area, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, oldFont);
    }
    ReleaseDC(list_, dc);
}

bool CCheckListCtrl::OnParentNotify(const NMHDR* header, LRESULT& result)
{
    if (!list_ || header->hwndFrom != list_) {
        return false;
    }
    switch (header->code) {
    case NM_CUSTOMDRAW:
        result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
        return true;
    case LVN_COLUMNCLICK:
        OnColumnClick(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
        result = 0;
        return true;
    default:
        return false;
    }
}

LRESULT CCheckListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        const int column = draw->iSubItem;
        DrawCell(draw->nmcd.hdc, row, column, CellRect(row, column));
        return CDRF_SKIPDEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void CCheckListCtrl::DrawCell(HDC dc, int row, int column, const PixelRect& rect)
{
    const CellRecord* cell = Cell(row, column);
    const CellRecord* first = Cell(row, 0);
    if (!cell || !first) {
        return;
    }
    const DWORD extended = static_cast<DWORD>(SendMessageA(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    const LONG_PTR style = GetWindowLongPtrA(list_, GWL_STYLE);
    CellState state;
    state.textColour = cell->textColour;
    state.backgroundColour = cell->backgroundColour;
    state.rowEnabled = first->enabled;
    state.rowSelected = (SendMessageA(list_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    state.column = column;
    state.fullRowSelect = (extended & LVS_EX_FULLROWSELECT) != 0;
    state.listHasFocus = GetFocus() == list_;
    state.showSelectionAlways = (style & LVS_SHOWSELALWAYS) != 0;
    const CellColours colours = ChooseCellColours(state, colours_);
    const std::string text = GetItemText(row, column);
    if (cell->checkState != kNoCheckbox) {
        DrawCheckboxCell(dc, *cell, rect, colours, first->enabled, text);
    } else {
        DrawTextCell(dc, *cell, rect, colours, text, header_.TextAlignment(column));
    }
}

void CCheckListCtrl::DrawCheckboxCell(HDC dc, const CellRecord& cell, const PixelRect& rect,
                                      const CellColours& colours, bool rowEnabled, const std::string& text)
{
    Fill(dc, ToRect(rect), colours.background);
    const PixelRect box = CheckboxBox(rect, !text.empty());
    RECT boxRect = ToRect(box);
    Fill(dc, boxRect, colours_.window);
    RECT edge = boxRect;
    edge.left += 1;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    if (cell.checkState == kChecked) {
        HPEN pen = CreatePen(PS_SOLID, 1, rowEnabled ? RGB(0, 0, 0) : colours_.greyText);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        for (const auto& stroke : TickStrokes(box)) {
            MoveToEx(dc, stroke.x, stroke.top, nullptr);
            LineTo(dc, stroke.x, stroke.top + 3);
        }
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    if (!text.empty()) {
        RECT textRect = ToRect(rect);
        textRect.left = box.right + 4;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colours.text);
        DrawTextA(dc, text.c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

void CCheckListCtrl::DrawTextCell(HDC dc, const CellRecord& cell, const PixelRect& rect, const CellColours& colours,
                                  const std::string& text, UINT alignment)
{
    RECT cellRect = ToRect(rect);
    Fill(dc, cellRect, colours.background);
    HFONT boldFont = nullptr;
    HGDIOBJ oldFont = nullptr;
    if (cell.bold) {
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0)), sizeof font, &font);
        font.lfWeight = FW_BOLD;
        boldFont = CreateFontIndirectA(&font);
        oldFont = SelectObject(dc, boldFont);
    }
    RECT textRect = cellRect;
    InflateRect(&textRect, -4, 0);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colours.text);
    DrawTextA(dc, text.c_str(), -1, &textRect, alignment | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (boldFont) {
        SelectObject(dc, oldFont);
        DeleteObject(boldFont);
    }
}
