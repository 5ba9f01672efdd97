#pragma once
// What the parts of the test application share: its options, the session
// with the data source manager and the source, and the calls into them.
#include <windows.h>

#include <string>

#include "twain.h"

enum class Mechanism { Native, Memory, File };

struct Options {
    bool showUi = true;
    Mechanism mechanism = Mechanism::Native;
    TW_UINT16 fileFormat = TWFF_BMP;
    std::string fileExtension = ".bmp";
    std::string outputPath;
    int pixelType = -1;
    int resolution = 0;
    bool frameGiven = false;
    double frame[4] = {};
    bool feeder = false;
    int pages = 0;  // 0: as many as the source offers
    std::string managerPath = "twain_32.dll";
    int soakCycles = 0;  // a soak of that many sessions instead of one scan
};

struct Session {
    Options options;
    HWND window = nullptr;
    HWND statusText = nullptr;
    HMODULE manager = nullptr;
    DSMENTRYPROC dsmEntry = nullptr;
    TW_IDENTITY application{};
    TW_IDENTITY source{};
    bool managerOpen = false;
    bool sourceOpen = false;
    bool sourceEnabled = false;
    bool failed = false;
    std::string log;
};

extern Session session;

// A line on standard output and in the window; Fail also marks the run failed.
void Report(const std::string& line);
void Fail(const std::string& line);

TW_UINT16 ToManager(pTW_IDENTITY destination, TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pData);
TW_UINT16 ToSource(TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pData);
// "condition code N" as DAT_STATUS reports it.
std::string ConditionText();
void CloseEverything();
// Loads the manager named in the options and opens it with the window.
bool OpenManager();

TW_FIX32 ToFix32(double value);
// MSG_SET of a capability with a TW_ONEVALUE; false (after a Fail) when refused.
bool SetCapability(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item, const char* name);
