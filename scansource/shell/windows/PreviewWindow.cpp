#include "shell/windows/PreviewWindow.h"

#include <optional>

#include "shell/windows/ScanWindowServices.h"
#include "SelectionGeometry.h"
#include "device/ScanParameters.h"
#include "resource.h"
#include "twain/CallBoundary.h"
#include "shell/Localization.h"
#include "shell/ShellState.h"

using namespace scanwindow;

namespace {
constexpr char ClassName[] = "ScreenClass";

PreviewState& state()
{
    return shellState().preview;
}

SIZE clientSize(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// Drawing it a second time erases it.
void drawSelection(HDC dc, const Selection& selection)
{
    HPEN pen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    int oldMode = SetROP2(dc, R2_NOTXORPEN);
    Rectangle(dc, selection.left, selection.top, selection.right, selection.bottom);
    SetROP2(dc, oldMode);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void redrawSelection(HWND window, const Selection& erase, const Selection& draw)
{
    HDC dc = GetDC(window);
    drawSelection(dc, erase);
    drawSelection(dc, draw);
    ReleaseDC(window, dc);
}

void paintImage(HDC dc, HGLOBAL image, int clientWidth)
{
    const auto* info = static_cast<const BITMAPINFOHEADER*>(GlobalLock(image));
    if (!info)
        return;
    LONG width = info->biWidth;
    LONG height = info->biHeight < 0 ? -info->biHeight : info->biHeight;
    if (width > 0 && height > 0 && info->biSize >= sizeof(BITMAPINFOHEADER)) {
        DWORD colours = info->biClrUsed ? info->biClrUsed : info->biBitCount <= 8 ? 1u << info->biBitCount : 0;
        DWORD masks = info->biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0;
        const BYTE* bits = reinterpret_cast<const BYTE*>(info) + info->biSize + masks + colours * sizeof(RGBQUAD);
        int shownHeight = MulDiv(clientWidth, height, width);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchDIBits(dc, 0, 0, clientWidth, shownHeight, 0, 0, width, height, bits,
                      reinterpret_cast<const BITMAPINFO*>(info), DIB_RGB_COLORS, SRCCOPY);
    }
    GlobalUnlock(image);
}

void freeImage()
{
    if (state().image)
        GlobalFree(state().image);
    state().image = nullptr;
}

HCURSOR cursorFor(PointerZone zone)
{
    switch (zone) {
    case PointerZone::LeftRight:
        return LoadCursor(nullptr, IDC_SIZEWE);
    case PointerZone::TopBottom:
        return LoadCursor(nullptr, IDC_SIZENS);
    case PointerZone::TopLeftBottomRight:
        return LoadCursor(nullptr, IDC_SIZENWSE);
    case PointerZone::TopRightBottomLeft:
        return LoadCursor(nullptr, IDC_SIZENESW);
    case PointerZone::Inside:
        return state().moveCursor;
    default:
        return LoadCursor(nullptr, IDC_CROSS);
    }
}

unsigned pointerX(LPARAM lParam)
{
    return LOWORD(lParam);
}

unsigned pointerY(LPARAM lParam)
{
    return HIWORD(lParam);
}

void finishDrag(HWND window)
{
    PreviewState& preview = state();
    preview.selection = preview.drag->selection();
    preview.drag.reset();
    SIZE size = clientSize(window);
    ScanParameters& parameters = currentScanParameters();
    Frame previous{parameters.left, parameters.top, parameters.right, parameters.bottom};
    Frame frame = frameFromSelection(preview.selection, size.cx, size.cy, previous);
    parameters.left = frame.left;
    parameters.top = frame.top;
    parameters.right = frame.right;
    parameters.bottom = frame.bottom;
    SendMessageA(GetParent(window), WM_PREVIEW_SELECTION_DRAWN, 0, 0);
}

LRESULT handlePreviewMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PreviewState& preview = state();
    switch (message) {
    case WM_CREATE:
        preview.moveCursor = LoadCursorA(shellState().instance, MAKEINTRESOURCEA(IDC_CURSOR_MOVE));
        freeImage();
        preview.image = scanservices::loadImageFile(PreviewImagePath().c_str());
        return 0;
    case WM_DESTROY:
        if (preview.image)
            scanservices::saveImageFile(preview.image, PreviewImagePath().c_str());
        freeImage();
        preview.drag.reset();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (preview.image)
            paintImage(dc, preview.image, clientSize(window).cx);
        drawSelection(dc, preview.drag ? preview.drag->selection() : preview.selection);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && !preview.drag) {
            POINT pointer;
            GetCursorPos(&pointer);
            ScreenToClient(window, &pointer);
            SetCursor(cursorFor(hitTest(preview.selection, pointer.x, pointer.y).zone));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN: {
        SIZE size = clientSize(window);
        int x = pointerCoordinate(pointerX(lParam));
        int y = pointerCoordinate(pointerY(lParam));
        Hit hit = hitTest(preview.selection, x, y);
        preview.drag.emplace(preview.selection, hit, pointerX(lParam), pointerY(lParam), size.cx, size.cy);
        redrawSelection(window, preview.selection, preview.drag->selection());
        SetCursor(cursorFor(hit.zone));
        SetCapture(window);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (preview.drag) {
            Selection before = preview.drag->selection();
            preview.drag->moveTo(pointerX(lParam), pointerY(lParam));
            redrawSelection(window, before, preview.drag->selection());
        }
        return 0;
    case WM_LBUTTONUP:
        if (preview.drag) {
            ReleaseCapture();
            if (preview.drag)
                finishDrag(window);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (preview.drag && reinterpret_cast<HWND>(lParam) != window)
            finishDrag(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A message the preview failed on gets the default answer, not a made-up one.
    return callAtBoundary([&] { return handlePreviewMessage(window, message, wParam, lParam); },
                          [&](BoundaryFailure) { return DefWindowProcA(window, message, wParam, lParam); });
}
}

std::string PreviewImagePath()
{
    char folder[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return std::string(folder) + "Calder.bmp";
}

HWND CreatePreviewWindow(HWND parent, const RECT& area)
{
    UnregisterClassA(ClassName, shellState().instance);
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = PreviewProc;
    windowClass.hInstance = shellState().instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_CROSS);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = ClassName;
    RegisterClassA(&windowClass);
    return CreateWindowExA(WS_EX_CLIENTEDGE, ClassName, "", WS_CHILD | WS_VISIBLE | WS_BORDER, area.left, area.top,
                           area.right - area.left, area.bottom - area.top, parent, nullptr, shellState().instance, nullptr);
}

void ReplacePreviewImage(HWND preview, HGLOBAL dib)
{
    freeImage();
    state().image = dib;
    InvalidateRect(preview, nullptr, TRUE);
}

void ShowFrameInPreview(HWND preview, const Frame& frame)
{
    if (!state().drag)
        state().selection = selectionFromFrame(frame, clientSize(preview).cx);
    InvalidateRect(preview, nullptr, TRUE);
}
