#include "RemoteListView.h"

namespace {

constexpr SIZE_T kBufferSize = 4096;
constexpr SIZE_T kTextOffset = 1024;
constexpr int kTextCapacity = 1024;

}  // namespace

RemoteListView::RemoteListView(HWND list, DWORD processId) : list_(list)
{
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_) {
        remote_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, kBufferSize, MEM_COMMIT, PAGE_READWRITE));
    }
}

RemoteListView::~RemoteListView()
{
    if (remote_) {
        VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    }
    if (process_) {
        CloseHandle(process_);
    }
}

int RemoteListView::Count() const
{
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListView::Text(int row, int column) const
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = remote_ + kTextOffset;
    item.cchTextMax = kTextCapacity;
    if (!WriteProcessMemory(process_, remote_, &item, sizeof item, nullptr)) {
        return "<unreadable>";
    }
    const auto length = SendMessageA(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote_));
    std::string text(static_cast<std::size_t>(length), '\0');
    if (length > 0 && !ReadProcessMemory(process_, remote_ + kTextOffset, text.data(), text.size(), nullptr)) {
        return "<unreadable>";
    }
    return text;
}

int RemoteListView::Checkbox(int row) const
{
    const auto state = SendMessageA(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12) - 1;
}

RECT RemoteListView::CellRect(int row, int column) const
{
    RECT rect = {};
    rect.top = column;
    rect.left = LVIR_BOUNDS;
    WriteProcessMemory(process_, remote_, &rect, sizeof rect, nullptr);
    SendMessageA(list_, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(remote_));
    ReadProcessMemory(process_, remote_, &rect, sizeof rect, nullptr);
    if (column == 0) {
        rect.right = rect.left + static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 0, 0));
    }
    return rect;
}
