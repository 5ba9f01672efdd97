#include "shell/windows/ScanSettingsDialog.h"

#include <commctrl.h>
#include <richedit.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "shell/MessageBoxes.h"
#include "shell/windows/PreviewWindow.h"
#include "ScanWindowRules.h"
#include "shell/windows/ScanWindowServices.h"
#include "device/ScanParameters.h"
#include "resource.h"
#include "shell/Localization.h"
#include "twain/ManagerNotifications.h"
#include "shell/ScanWindowHost.h"
#include "shell/SettingsStore.h"
#include "twain/SourceContext.h"
#include "shell/SupportLibrary.h"

using namespace scanwindow;
namespace services = scanservices;

namespace {
// The Scan button's private command message.
constexpr UINT WM_SCAN_REQUEST = 3028;
constexpr int TextBytes = 1024;
constexpr int PreviewResolution = 50;
constexpr int LargeImageGoOn = 123;
constexpr int LargeImageStop = 345;

ScanParameters& parameters()
{
    return currentScanParameters();
}

// A text in the form shellState().ansiMode selects.
struct UiText {
    alignas(wchar_t) char bytes[TextBytes] = {};
    const wchar_t* wide() const { return reinterpret_cast<const wchar_t*>(bytes); }
};

UiText plainText(const std::string& text)
{
    UiText result;
    if (shellState().ansiMode)
        lstrcpynA(result.bytes, text.c_str(), TextBytes);
    else
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, reinterpret_cast<wchar_t*>(result.bytes), TextBytes / 2 - 1);
    return result;
}

LRESULT send(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return shellState().ansiMode ? SendMessageA(control, message, wParam, lParam) : SendMessageW(control, message, wParam, lParam);
}

int addComboItem(HWND combo, const UiText& text, LPARAM data)
{
    auto index = static_cast<int>(send(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.bytes)));
    if (index >= 0)
        send(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return index;
}

bool metricLocale()
{
    char measure[4] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, sizeof measure);
    return strcmp(measure, "0") == 0;
}

Frame currentFrame()
{
    const ScanParameters& p = parameters();
    return {p.left, p.top, p.right, p.bottom};
}

void setFrame(const Frame& frame)
{
    Frame onBed = clampToBed(frame);
    ScanParameters& p = parameters();
    p.left = onBed.left;
    p.top = onBed.top;
    p.right = onBed.right;
    p.bottom = onBed.bottom;
}

// Custom area keys of the settings file, with their defaults.
const UINT CustomKeys[4] = {IDS_CUSTOM_LEFT, IDS_CUSTOM_TOP, IDS_CUSTOM_RIGHT, IDS_CUSTOM_BOTTOM};

Frame readCustomArea()
{
    const int32_t defaults[4] = {0, 0, BedWidth, 52800};
    int32_t values[4];
    for (int i = 0; i < 4; ++i)
        values[i] = ReadProfileValue(IDS_SETTINGS, CustomKeys[i], ProfileValue::ofInteger(defaults[i])).integer;
    return {values[0], values[1], values[2], values[3]};
}

void writeCustomArea(const Frame& frame)
{
    const int32_t values[4] = {frame.left, frame.top, frame.right, frame.bottom};
    for (int i = 0; i < 4; ++i)
        WriteProfileValue(IDS_SETTINGS, CustomKeys[i], ProfileValue::ofInteger(values[i]));
}

void colourTypeName(int pixelType, UiText& text)
{
    static const char* const Keys[] = {"MONOCHROME", "GRAYSCALE", "FULLCOLOR"};
    LoadLocalizedKey(Keys[pixelType < 0 || pixelType > 2 ? 2 : pixelType], text.bytes, TextBytes);
}

void setDroppedWidth(HWND list)
{
    HDC dc = GetDC(list);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    auto count = static_cast<int>(send(list, CB_GETCOUNT));
    for (int index = 0; index < count; ++index) {
        UiText text;
        auto length = static_cast<int>(send(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
        if (length < 0 || length >= TextBytes / 2)
            continue;
        send(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.bytes));
        SIZE extent{};
        if (shellState().ansiMode)
            GetTextExtentPoint32A(dc, text.bytes, length, &extent);
        else
            GetTextExtentPoint32W(dc, text.wide(), length, &extent);
        if (extent.cx > widest)
            widest = extent.cx;
    }
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    int width = widest + metrics.tmAveCharWidth + GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXEDGE);
    send(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width));
}

bool hostNeedsVanillaPixels()
{
    GetWindowsVersionProc version = supportGetWindowsVersion();
    if (!version || version() != 3)
        return false;
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char suffix[] = "KodakImg.exe";
    size_t suffixLength = sizeof suffix - 1;
    return length >= suffixLength && length < MAX_PATH && lstrcmpiA(path + length - suffixLength, suffix) == 0;
}

const char* bitmapName(int id, bool down)
{
    switch (id) {
    case IDC_BUTTON_PHOTO:
        return down ? "IDB_BTNPHOTOD" : "IDB_BTNPHOTOU";
    case IDC_BUTTON_DOCUMENT:
        return down ? "IDB_BTNDOCUD" : "IDB_BTNDOCUU";
    case IDC_BUTTON_SCAN:
        return down ? "IDB_BTNSCAND" : "IDB_BTNSCANU";
    case IDC_BUTTON_EXIT:
        return down ? "IDB_BTNEXITD" : "IDB_BTNEXITU";
    case IDC_BUTTON_PREVIEW:
        return down ? "IDB_BTNPREVIEWD" : "IDB_BTNPREVIEWU";
    default:
        return nullptr;
    }
}

// The button's bitmap stretched over it, its localised text on top.
bool drawButton(const DRAWITEMSTRUCT& draw)
{
    bool down = (draw.itemState & ODS_SELECTED) != 0;
    const char* name = bitmapName(static_cast<int>(draw.CtlID), down);
    if (!name)
        return false;
    const RECT& box = draw.rcItem;
    HDC dc = draw.hDC;
    if (HBITMAP bitmap = LoadBitmapA(shellState().instance, name)) {
        BITMAP size{};
        GetObjectA(bitmap, sizeof size, &size);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, memory, 0, 0, size.bmWidth,
                   size.bmHeight, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(bitmap);
    } else {
        DrawFrameControl(dc, const_cast<RECT*>(&box), DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    }
    RECT textBox = box;
    if (down)
        OffsetRect(&textBox, 1, 1);
    bool disabled = (draw.itemState & ODS_DISABLED) != 0;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? RGB(128, 128, 128) : RGB(0, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(draw.hwndItem, WM_GETFONT, 0, 0)));
    UiText text;
    if (shellState().ansiMode) {
        GetWindowTextA(draw.hwndItem, text.bytes, TextBytes);
        DrawTextA(dc, text.bytes, -1, &textBox, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
        GetWindowTextW(draw.hwndItem, reinterpret_cast<wchar_t*>(text.bytes), TextBytes / 2);
        DrawTextW(dc, text.wide(), -1, &textBox, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
    if (draw.itemState & ODS_FOCUS) {
        RECT focus = box;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    return true;
}

}  // namespace

HWND ScanSettingsDialog::item(int id)
{
    return GetDlgItem(dialog_, id);
}

void ScanSettingsDialog::setText(int id, const std::string& text)
{
    SetLocalizedWindowText(item(id), plainText(text).bytes);
}

int ScanSettingsDialog::readNumber(int id)
{
    char text[32] = {};
    GetWindowTextA(item(id), text, sizeof text);
    return atoi(text);
}

bool ScanSettingsDialog::isChecked(int id)
{
    return IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
}

int ScanSettingsDialog::selectedIndex(int comboId)
{
    return static_cast<int>(send(item(comboId), CB_GETCURSEL));
}

LPARAM ScanSettingsDialog::itemData(int comboId, int index)
{
    return send(item(comboId), CB_GETITEMDATA, static_cast<WPARAM>(index));
}

// Selects the first item with this data; false when there is none.
bool ScanSettingsDialog::selectByData(int comboId, LPARAM data)
{
    auto count = static_cast<int>(send(item(comboId), CB_GETCOUNT));
    for (int index = 0; index < count; ++index) {
        if (itemData(comboId, index) == data) {
            send(item(comboId), CB_SETCURSEL, static_cast<WPARAM>(index));
            return true;
        }
    }
    return false;
}

SIZE ScanSettingsDialog::previewClientSize()
{
    RECT client{};
    if (preview_)
        GetClientRect(preview_, &client);
    return {client.right, client.bottom};
}

bool ScanSettingsDialog::customAreaFits(const Frame& area)
{
    SIZE size = previewClientSize();
    return customAreaFitsPreview(area, size.cx, size.cy);
}

void ScanSettingsDialog::updateSizeDisplay()
{
    const ScanParameters& p = parameters();
    Frame frame = currentFrame();
    bool metric = metricLocale();
    setText(IDC_TEXT_IMAGE_SIZE, imageSizeText(estimatedImageBytes(p.resolution, p.pixelType, frame)));
    setText(IDC_EDIT_WIDTH, frameWidthText(frame, metric));
    setText(IDC_EDIT_HEIGHT, frameHeightText(frame, metric));
    EnableWindow(item(IDC_CHECK_DESCREEN), descreenAllowed(p.resolution, p.pixelType));
}

void ScanSettingsDialog::repaintPreview()
{
    if (preview_)
        ShowFrameInPreview(preview_, currentFrame());
}

void ScanSettingsDialog::showThresholdControls(bool blackAndWhite)
{
    for (int id : {IDC_SPIN_THRESHOLD, IDC_EDIT_THRESHOLD, IDC_THRESHOLD_DEFAULT, IDC_LABEL_THRESHOLD})
        ShowWindow(item(id), blackAndWhite ? SW_SHOW : SW_HIDE);
    for (int id : {IDC_SPIN_BRIGHTNESS, IDC_EDIT_BRIGHTNESS, IDC_LABEL_BRIGHTNESS, IDC_UNIT_BRIGHTNESS,
                   IDC_EDIT_CONTRAST, IDC_SPIN_CONTRAST, IDC_LABEL_CONTRAST, IDC_UNIT_CONTRAST})
        ShowWindow(item(id), blackAndWhite ? SW_HIDE : SW_SHOW);
}

// The list of the feeder box's state; the resolution stays when it is listed.
void ScanSettingsDialog::fillResolutionList()
{
    HWND list = item(IDC_COMBO_RESOLUTION);
    send(list, CB_RESETCONTENT);
    for (int dpi : services::allowedResolutions(isChecked(IDC_CHECK_FEEDER)))
        addComboItem(list, plainText(std::to_string(dpi)), dpi);
    if (!selectByData(IDC_COMBO_RESOLUTION, services::resolution()) && sourceContext().showUI) {
        services::setResolution(150);
        selectByData(IDC_COMBO_RESOLUTION, 150);
    }
}

void ScanSettingsDialog::fillColourTypeList()
{
    HWND list = item(IDC_COMBO_COLOR_TYPE);
    send(list, CB_RESETCONTENT);
    for (const services::ColourType& type : services::allowedColourTypes()) {
        UiText name;
        colourTypeName(type.pixelType, name);
        addComboItem(list, name, type.bitDepth * 65536 + type.pixelType);
    }
    if (!selectByData(IDC_COMBO_COLOR_TYPE, services::bitDepth() * 65536 + services::pixelType())) {
        services::setColourType(2, 24);
        selectByData(IDC_COMBO_COLOR_TYPE, 24 * 65536 + 2);
    }
}

void ScanSettingsDialog::setUpNumber(int editId, int spinId, const services::Range& range, int value)
{
    HWND edit = item(editId);
    HWND spin = item(spinId);
    send(edit, EM_LIMITTEXT, static_cast<WPARAM>(range.printWidth));
    services::installNumericEditFilter(edit, range);
    send(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit));
    send(spin, UDM_SETRANGE32, static_cast<WPARAM>(range.lower), range.upper);
    send(spin, UDM_SETPOS32, 0, value);
    setText(editId, std::to_string(value));
}

// The preview shows the whole 14-inch bed at the width of its area.
void ScanSettingsDialog::sizePreview()
{
    HWND preview = preview_;
    if (!preview)
        return;
    const RECT& area = previewArea_;
    RECT frameSize{0, 0, 0, 0};
    AdjustWindowRectEx(&frameSize, static_cast<DWORD>(GetWindowLongA(preview, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(preview, GWL_EXSTYLE)));
    int borderWidth = frameSize.right - frameSize.left;
    int borderHeight = frameSize.bottom - frameSize.top;
    int clientWidth = area.right - area.left - borderWidth;
    if (clientWidth <= 0)
        return;
    int clientHeight = static_cast<int>(clientWidth * 14 / 8.5);
    SetWindowPos(preview, nullptr, 0, 0, clientWidth + borderWidth, clientHeight + borderHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ScanSettingsDialog::setFrameForPaper(int id)
{
    Frame frame;
    if (services::paperFrame(id, isChecked(IDC_CHECK_FEEDER), frame))
        setFrame(frame);
}

// The custom area of the settings file, or the locale's standard size in
// its place when it reaches below the preview.
void ScanSettingsDialog::setCustomFrame()
{
    Frame area = readCustomArea();
    if (customAreaFits(area)) {
        setFrame(area);
        return;
    }
    setFrameForPaper(metricLocale() ? 1 : 3);
    writeCustomArea(currentFrame());
}

// The frame follows the chosen paper size: the table's size, or the custom area.
void ScanSettingsDialog::applyPaperSize(int32_t id)
{
    parameters().paperSize = id;
    if (id != 0)
        setFrameForPaper(id);
    else
        setCustomFrame();
    updateSizeDisplay();
    repaintPreview();
}

void ScanSettingsDialog::fillPaperList()
{
    HWND list = item(IDC_COMBO_PAPER_SIZE);
    bool feeder = isChecked(IDC_CHECK_FEEDER);
    int selected = selectedIndex(IDC_COMBO_PAPER_SIZE);
    auto remembered = static_cast<int32_t>(selected >= 0 ? itemData(IDC_COMBO_PAPER_SIZE, selected)
                                                         : parameters().paperSize);
    send(list, CB_RESETCONTENT);
    std::vector<int32_t> listed;
    for (int id : services::paperSizes(feeder)) {
        UiText name;
        if (LoadLocalizedString(IDS_PAPER_SIZE_BASE + static_cast<UINT>(id), name.bytes, TextBytes) <= 0)
            continue;
        addComboItem(list, name, id);
        listed.push_back(id);
    }
    setDroppedWidth(list);

    parameters().feederChecked = feeder;
    sizePreview();

    bool firstOpening = sourceContext().showUI && parameters().firstTime != 0;
    bool fits = remembered != 0 || customAreaFits(readCustomArea());
    PaperChoice choice = choosePaperSize(listed, remembered, firstOpening, fits, metricLocale());
    if (choice.clearFirstTime)
        parameters().firstTime = 0;
    int32_t id = choice.id;
    if (!selectByData(IDC_COMBO_PAPER_SIZE, id) && !listed.empty()) {
        send(list, CB_SETCURSEL, 0);
        id = listed.front();
        services::setPaperSizeCapability(id, feeder);
    }
    applyPaperSize(id);
}

void ScanSettingsDialog::onPaperSizeChange()
{
    int index = selectedIndex(IDC_COMBO_PAPER_SIZE);
    if (index < 0)
        return;
    auto id = static_cast<int32_t>(itemData(IDC_COMBO_PAPER_SIZE, index));
    applyPaperSize(id);
}

void ScanSettingsDialog::onResolutionChange()
{
    int index = selectedIndex(IDC_COMBO_RESOLUTION);
    if (index < 0)
        return;
    services::setResolution(static_cast<int>(itemData(IDC_COMBO_RESOLUTION, index)));
    updateSizeDisplay();
}

void ScanSettingsDialog::onColourTypeChange()
{
    int index = selectedIndex(IDC_COMBO_COLOR_TYPE);
    if (index < 0)
        return;
    auto data = static_cast<int>(itemData(IDC_COMBO_COLOR_TYPE, index));
    services::setColourType(data & 0xFFFF, data >> 16);
    services::loadScanParameters();
    updateSizeDisplay();
    showThresholdControls(services::pixelType() == 0);
}

void ScanSettingsDialog::onPreset(const char* resolutionPrefix, int colourItem, bool keepColour)
{
    UiText prefix = plainText(resolutionPrefix);
    if (send(item(IDC_COMBO_RESOLUTION), CB_SELECTSTRING, static_cast<WPARAM>(-1),
             reinterpret_cast<LPARAM>(prefix.bytes)) != CB_ERR)
        onResolutionChange();
    if (keepColour)
        return;
    send(item(IDC_COMBO_COLOR_TYPE), CB_SETCURSEL, static_cast<WPARAM>(colourItem));
    onColourTypeChange();
}

// Resolution and colour type of the lists into the capabilities.
void ScanSettingsDialog::takeListSettings()
{
    services::setFeederEnabled(isChecked(IDC_CHECK_FEEDER));
    onResolutionChange();
    int index = selectedIndex(IDC_COMBO_COLOR_TYPE);
    if (index >= 0) {
        auto data = static_cast<int>(itemData(IDC_COMBO_COLOR_TYPE, index));
        services::setColourType(data & 0xFFFF, data >> 16);
    }
}

void ScanSettingsDialog::takeEditSettings()
{
    services::setBrightness(readNumber(IDC_EDIT_BRIGHTNESS));
    services::setContrast(readNumber(IDC_EDIT_CONTRAST));
    services::setThresholdClass(readNumber(IDC_EDIT_THRESHOLD));
}

void ScanSettingsDialog::onPreview()
{
    takeListSettings();
    Frame savedFrame = currentFrame();
    int savedResolution = services::resolution();
    int savedPixelType = services::pixelType();
    int savedBitDepth = services::bitDepth();

    takeEditSettings();
    services::loadScanParameters();
    parameters().resolution = PreviewResolution;
    setFrame(Frame{0, 0, BedWidth, BedLength});

    HWND dialog = dialog_;
    if (services::ensureFeederLoaded(dialog)) {
        // The preview is the source's own picture: it is never inverted. The
        // scan reads the flavour from ScanParameters, which already hold it.
        bool invertedFlavor = services::pixelFlavor() == 1;
        if (invertedFlavor) {
            services::setPixelFlavor(0);
            parameters().invert = 0;
        }
        HGLOBAL dib = nullptr;
        if (services::scanImage(1, 0, &dib) == 100 && dib)
            ReplacePreviewImage(preview_, dib);
        else if (dib)
            GlobalFree(dib);
        if (invertedFlavor) {
            services::setPixelFlavor(1);
            parameters().invert = 1;
        }
    }

    services::setColourType(savedPixelType, savedBitDepth);
    setFrame(savedFrame);
    services::setResolution(savedResolution);
    parameters().resolution = savedResolution;
    repaintPreview();
}

void ScanSettingsDialog::onScan()
{
    HWND dialog = dialog_;
    bool feeder = isChecked(IDC_CHECK_FEEDER);
    services::setFeederEnabled(feeder);
    if (!services::ensureFeederLoaded(dialog))
        return;
    int index = selectedIndex(IDC_COMBO_PAPER_SIZE);
    if (index >= 0)
        services::setPaperSizeCapability(static_cast<int>(itemData(IDC_COMBO_PAPER_SIZE, index)), feeder);

    Frame frame = currentFrame();
    switch (checkScanFrame(frame, services::resolution())) {
    case ScanCheck::AreaTooSmall:
        ShowWarning(dialog, IDS_ERROR_SELECT_LARGER_AREA, TRUE);
        return;
    case ScanCheck::BeyondResolutionLimits:
        ShowWarning(dialog, IDS_ERROR_IMAGE_TOO_LARGE, TRUE);
        return;
    case ScanCheck::Passed:
        break;
    }
    double bytes = estimatedImageBytes(services::resolution(), services::pixelType(), frame);
    if (needsLargeImageWarning(bytes, services::largeImageWarningSwitchedOff())) {
        int answer = services::showLargeImageWarning(dialog);
        if (answer == LargeImageStop)
            return;
        if (answer != LargeImageGoOn) {
            ShowWarning(dialog, IDS_ERROR_IMAGE_TOO_LARGE, TRUE);
            return;
        }
    }
    takeEditSettings();
    services::loadScanParameters();
    // A second Scan before the application took the image would announce it twice.
    if (sourceState() == StateEnabled)
        NotifyXferReady();
}

void ScanSettingsDialog::onFeederBox()
{
    fillPaperList();
    fillResolutionList();
    EnableWindow(item(IDC_BUTTON_PREVIEW), !isChecked(IDC_CHECK_FEEDER));
}

void ScanSettingsDialog::onSelectionDrawn()
{
    if (!selectByData(IDC_COMBO_PAPER_SIZE, 0))
        send(item(IDC_COMBO_PAPER_SIZE), CB_SETCURSEL, static_cast<WPARAM>(-1));
    parameters().paperSize = 0;
    writeCustomArea(currentFrame());
    updateSizeDisplay();
    repaintPreview();
}

void ScanSettingsDialog::replacePreviewPlaceholder()
{
    HWND dialog = dialog_;
    HWND placeholder = item(IDC_PREVIEW_FRAME);
    RECT area{};
    if (placeholder) {
        GetWindowRect(placeholder, &area);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
        DestroyWindow(placeholder);
    }
    previewArea_ = area;
    preview_ = CreatePreviewWindow(dialog, area);
}

void ScanSettingsDialog::initialise(HWND dialog)
{
    dialog_ = dialog;
    services::setScanOwner(dialog);
    grayBrush_ = CreateSolidBrush(RGB(192, 192, 192));
    ScanParameters& p = parameters();

    if (hostNeedsVanillaPixels())
        services::setPixelFlavor(1);

    if (services::isFeederMissing() != 0) {
        ShowWindow(item(IDC_CHECK_FEEDER), SW_HIDE);
    } else {
        ShowWindow(item(IDC_CHECK_FEEDER), SW_SHOW);
        CheckDlgButton(dialog, IDC_CHECK_FEEDER, services::queryFeederStatus(0) == 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    EnableWindow(item(IDC_BUTTON_PREVIEW), !isChecked(IDC_CHECK_FEEDER));

    for (int id : {IDC_EDIT_WIDTH, IDC_EDIT_HEIGHT, IDC_TEXT_IMAGE_SIZE})
        send(item(id), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
    EnableWindow(item(IDC_EDIT_WIDTH), FALSE);
    EnableWindow(item(IDC_EDIT_HEIGHT), FALSE);
    CheckDlgButton(dialog, IDC_CHECK_DESCREEN, services::descreen() ? BST_CHECKED : BST_UNCHECKED);

    services::setResolution(p.resolution);
    services::setColourType(p.pixelType, p.pixelType == 0 ? 1 : p.pixelType == 1 ? 8 : 24);
    services::setBrightness(p.brightness);
    services::setContrast(p.contrast);

    replacePreviewPlaceholder();
    fillResolutionList();
    fillColourTypeList();

    setUpNumber(IDC_EDIT_CONTRAST, IDC_SPIN_CONTRAST, services::contrastRange(), services::contrast());
    setUpNumber(IDC_EDIT_BRIGHTNESS, IDC_SPIN_BRIGHTNESS, services::brightnessRange(), services::brightness());
    setUpNumber(IDC_EDIT_THRESHOLD, IDC_SPIN_THRESHOLD, services::thresholdRange(), levelForThreshold(p.threshold));

    services::setDescreen(isChecked(IDC_CHECK_DESCREEN));
    updateSizeDisplay();
    showThresholdControls(services::pixelType() == 0);

    fillPaperList();
    LocalizeDialogControls(dialog);
}

void ScanSettingsDialog::onCommand(int id, int notification)
{
    switch (id) {
    case IDC_BUTTON_EXIT:
        NotifyCloseDsRequest();
        break;
    case IDC_CHECK_FEEDER:
        onFeederBox();
        break;
    case IDC_BUTTON_PHOTO:
        onPreset("300", 2, services::pixelType() == 2);
        break;
    case IDC_BUTTON_DOCUMENT:
        onPreset("200", 0, false);
        break;
    case IDC_COMBO_RESOLUTION:
        if (notification == CBN_SELCHANGE)
            onResolutionChange();
        break;
    case IDC_COMBO_COLOR_TYPE:
        if (notification == CBN_SELCHANGE)
            onColourTypeChange();
        break;
    case IDC_COMBO_PAPER_SIZE:
        if (notification == CBN_SELCHANGE)
            onPaperSizeChange();
        break;
    case IDC_CHECK_DESCREEN:
        services::setDescreen(isChecked(IDC_CHECK_DESCREEN));
        break;
    case IDC_BUTTON_PREVIEW:
        onPreview();
        break;
    case IDC_BUTTON_SCAN:
        onScan();
        break;
    }
}

INT_PTR ScanSettingsDialog::handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        initialise(dialog);
        return TRUE;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_SCAN_REQUEST:
        onScan();
        return TRUE;
    case WM_PREVIEW_SELECTION_DRAWN:
        onSelectionDrawn();
        return TRUE;
    case WM_DRAWITEM:
        if (drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(grayBrush_);
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(192, 192, 192));
        return reinterpret_cast<INT_PTR>(grayBrush_);
    case WM_DESTROY:
        services::setScanOwner(nullptr);
        if (grayBrush_)
            DeleteObject(grayBrush_);
        dialog_ = nullptr;
        preview_ = nullptr;
        previewArea_ = RECT{};
        grayBrush_ = nullptr;
        return TRUE;
    }
    return FALSE;
}
