#pragma once
// A grab of part of the screen, for asserting on what a live window shows.
#include <windows.h>

#include <vector>

class ScreenPixels {
public:
    // Grabs the screen rectangle (screen coordinates). Empty on failure.
    explicit ScreenPixels(const RECT& area);

    bool valid() const { return !pixels_.empty(); }
    // Counts pixels inside a screen rectangle that satisfy test(r, g, b).
    template <typename Test>
    int count(const RECT& screenRect, Test test) const
    {
        int total = 0;
        for (LONG y = screenRect.top; y < screenRect.bottom; ++y)
            for (LONG x = screenRect.left; x < screenRect.right; ++x) {
                if (x < area_.left || y < area_.top || x >= area_.right || y >= area_.bottom)
                    continue;
                COLORREF c = pixels_[(y - area_.top) * (area_.right - area_.left) + (x - area_.left)];
                if (test(GetRValue(c), GetGValue(c), GetBValue(c)))
                    ++total;
            }
        return total;
    }

    // Width from the first to the last column inside screenRect that has a
    // pixel satisfying test(r, g, b); 0 when none does.
    template <typename Test>
    int span(const RECT& screenRect, Test test) const
    {
        LONG first = -1, last = -1;
        for (LONG x = screenRect.left; x < screenRect.right; ++x) {
            RECT column = {x, screenRect.top, x + 1, screenRect.bottom};
            if (count(column, test) > 0) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        return first < 0 ? 0 : static_cast<int>(last - first + 1);
    }

private:
    RECT area_;
    std::vector<COLORREF> pixels_;
};
