#pragma once
// Reads a list view that belongs to another process: item texts, the
// checkbox state that the list keeps as the item's state image, and cell
// rectangles. The message buffers live in the other process's memory.
#include <windows.h>
#include <commctrl.h>

#include <string>

class RemoteListView {
public:
    RemoteListView(HWND list, DWORD processId);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    bool Ready() const { return remote_ != nullptr; }
    int Count() const;
    std::string Text(int row, int column) const;
    // -1 no checkbox, 0 clear, 1 ticked.
    int Checkbox(int row) const;
    // In the list's client coordinates.
    RECT CellRect(int row, int column) const;

private:
    HWND list_;
    HANDLE process_ = nullptr;
    char* remote_ = nullptr;
};
