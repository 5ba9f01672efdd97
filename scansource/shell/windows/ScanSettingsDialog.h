#pragma once
// The scan settings window: a modeless dialog over the capability values
// and ScanParameters, with the preview, Preview, Scan and Exit. One object
// serves the window for the life of the process; its fields describe the
// window while it is open.
#include <windows.h>

#include <cstdint>
#include <string>

#include "ScanWindowRules.h"
#include "shell/windows/DialogProcedure.h"
#include "shell/windows/ScanWindowServices.h"

class ScanSettingsDialog : public DialogObject {
public:
    INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND item(int id);
    void setText(int id, const std::string& text);
    int readNumber(int id);
    bool isChecked(int id);
    int selectedIndex(int comboId);
    LPARAM itemData(int comboId, int index);
    bool selectByData(int comboId, LPARAM data);
    SIZE previewClientSize();
    bool customAreaFits(const scanwindow::Frame& area);
    void updateSizeDisplay();
    void repaintPreview();
    void showThresholdControls(bool blackAndWhite);
    void fillResolutionList();
    void fillColourTypeList();
    void setUpNumber(int editId, int spinId, const scanservices::Range& range, int value);
    void sizePreview();
    void setFrameForPaper(int id);
    void setCustomFrame();
    void applyPaperSize(int32_t id);
    void fillPaperList();
    void onPaperSizeChange();
    void onResolutionChange();
    void onColourTypeChange();
    void onPreset(const char* resolutionPrefix, int colourItem, bool keepColour);
    void takeListSettings();
    void takeEditSettings();
    void onPreview();
    void onScan();
    void onFeederBox();
    void onSelectionDrawn();
    void replacePreviewPlaceholder();
    void initialise(HWND dialog);
    void onCommand(int id, int notification);

    HWND dialog_ = nullptr;
    HWND preview_ = nullptr;
    RECT previewArea_{};
    HBRUSH grayBrush_ = nullptr;
};
