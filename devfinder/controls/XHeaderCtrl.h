#pragma once
// The checkbox list's header: an image per column, where image 1 and 2
// are a header checkbox (clear, ticked) and 0 is none.
#include <windows.h>
#include <commctrl.h>

class CXHeaderCtrl {
public:
    void Attach(HWND header) { header_ = header; }
    HWND Handle() const { return header_; }

    void SetImageList(HIMAGELIST images);
    int GetItemImage(int column) const;
    // Also sets the image flag so the header draws the image.
    void SetItemImage(int column, int image);
    // LVCFMT-style alignment of a column's header text: DT_LEFT, DT_CENTER or DT_RIGHT.
    UINT TextAlignment(int column) const;

private:
    HWND header_ = nullptr;
};
