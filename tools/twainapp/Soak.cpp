#include "Soak.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "TwainApp.h"

namespace {

enum class Kind { Native, Memory, AbandonedMemory, File };

struct Transfer {
    Kind kind;
    int pixelType;
    int resolution;
};

constexpr int kTransfersPerSession = 10;
constexpr int kReportEvery = 20;
// One 150 dpi colour letter page: 1275 x 1650 pixels, with its header.
constexpr long long kPageBytes = 40 + 3828LL * 1650;
constexpr long long kHandleLimit = 10;

// Every kind with every pixel type at both resolutions, in a cycle whose
// length (24) is prime to the session's 10, so each session differs.
Transfer plannedTransfer(int index)
{
    static const Kind kinds[] = {Kind::Native, Kind::Memory, Kind::AbandonedMemory, Kind::File};
    const int combination = index % 24;
    return {kinds[combination % 4], (combination / 4) % 3, combination / 12 == 0 ? 150 : 600};
}

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::Native: return "native";
    case Kind::Memory: return "memory";
    case Kind::AbandonedMemory: return "memory given up";
    case Kind::File: return "file";
    }
    return "";
}

struct Sample {
    long long privateBytes = 0;
    long long handles = 0;
    long long gdiObjects = 0;
    long long userObjects = 0;
};

// Where the system's counts are missing, as under Wine (GetProcessHandleCount
// answers nothing, GetGuiResources is a stub), the live handles are counted
// by asking for each small handle value, GDI objects by their 16-bit handle
// values and USER objects as the process's windows.
long long probedHandles()
{
    long long count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

long long probedGdiObjects()
{
    long long count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(value)))
            ++count;
    return count;
}

BOOL CALLBACK countOwnWindow(HWND window, LPARAM counter)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<long long*>(counter);
        EnumChildWindows(window, countOwnWindow, counter);
    }
    return TRUE;
}

long long probedUserObjects()
{
    long long count = 0;
    EnumWindows(countOwnWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Wine 8 reports no PrivateUsage; its PagefileUsage follows the allocations.
Sample takeSample()
{
    Sample sample;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters))
        sample.privateBytes = static_cast<long long>(counters.PrivateUsage ? counters.PrivateUsage
                                                                           : counters.PagefileUsage);
    DWORD handles = 0;
    sample.handles = GetProcessHandleCount(GetCurrentProcess(), &handles) && handles ? handles : probedHandles();
    sample.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (!sample.gdiObjects)
        sample.gdiObjects = probedGdiObjects();
    sample.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (!sample.userObjects)
        sample.userObjects = probedUserObjects();
    return sample;
}

// The application's loop: each message goes to the source first; the
// manager hands the source's requests back through it.
TW_UINT16 waitForRequest(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        MSG message{};
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(5);
            continue;
        }
        TW_EVENT event{&message, MSG_NULL};
        const TW_UINT16 rc = ToSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
        if (rc == TWRC_DSEVENT && event.TWMessage != MSG_NULL)
            return event.TWMessage;
        if (rc == TWRC_NOTDSEVENT) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return MSG_NULL;
}

bool negotiate(const Transfer& transfer)
{
    const TW_UINT16 mechanism = transfer.kind == Kind::Native ? TWSX_NATIVE
                                : transfer.kind == Kind::File ? TWSX_FILE
                                                              : TWSX_MEMORY;
    TW_FIX32 resolution = ToFix32(transfer.resolution);
    TW_UINT32 item = 0;
    std::memcpy(&item, &resolution, sizeof resolution);
    if (!SetCapability(ICAP_XFERMECH, TWTY_UINT16, mechanism, "the transfer mechanism") ||
        !SetCapability(ICAP_PIXELTYPE, TWTY_UINT16, static_cast<TW_UINT32>(transfer.pixelType), "the pixel type") ||
        !SetCapability(ICAP_XRESOLUTION, TWTY_FIX32, item, "the resolution"))
        return false;
    // A whole letter page at 150 dpi; an inch of it at 600 dpi keeps the run short.
    TW_IMAGELAYOUT layout{};
    layout.Frame = TW_FRAME{ToFix32(0), ToFix32(0), ToFix32(8.5), ToFix32(transfer.resolution == 150 ? 11 : 1)};
    if (ToSource(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout) != TWRC_SUCCESS) {
        Fail("could not set the frame: " + ConditionText());
        return false;
    }
    return true;
}

// Strips of the preferred size until the image is done, or only the first
// one when the application gives up. The strips must add up to the rows
// DAT_IMAGEINFO announced.
bool memoryTransfer(bool giveUp)
{
    TW_IMAGEINFO info{};
    TW_SETUPMEMXFER setup{};
    if (ToSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS ||
        ToSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS || setup.Preferred == 0) {
        Fail("no image information or memory transfer sizes: " + ConditionText());
        return false;
    }
    std::vector<char> buffer(setup.Preferred);
    TW_UINT32 rows = 0;
    TW_UINT16 rc = TWRC_SUCCESS;
    while (rc == TWRC_SUCCESS) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, setup.Preferred, buffer.data()};
        rc = ToSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        rows += xfer.Rows;
        if (giveUp && rc == TWRC_SUCCESS)
            return true;
    }
    if (rc != TWRC_XFERDONE) {
        Fail("memory transfer ended with return code " + std::to_string(rc) + ", " + ConditionText());
        return false;
    }
    if (rows != static_cast<TW_UINT32>(info.ImageLength)) {
        Fail("memory strips of " + std::to_string(rows) + " rows, " + std::to_string(info.ImageLength) +
             " announced");
        return false;
    }
    return true;
}

bool nativeTransfer()
{
    TW_MEMREF handle = nullptr;
    const TW_UINT16 rc = ToSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    if (handle)
        GlobalFree(handle);
    if (rc != TWRC_XFERDONE || !handle) {
        Fail("native transfer ended with return code " + std::to_string(rc) + ", " + ConditionText());
        return false;
    }
    return true;
}

bool fileTransfer()
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "twainapp-soak.bmp";
    TW_SETUPFILEXFER setup{};
    lstrcpynA(setup.FileName, path.c_str(), sizeof setup.FileName);
    setup.Format = TWFF_BMP;
    bool done = ToSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup) == TWRC_SUCCESS &&
                ToSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr) == TWRC_XFERDONE;
    if (!done)
        Fail("file transfer failed: " + ConditionText());
    DeleteFileA(path.c_str());
    return done;
}

void disable()
{
    TW_USERINTERFACE ui{};
    ui.hParent = session.window;
    ToSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    session.sourceEnabled = false;
}

void closeSource()
{
    ToManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &session.source);
    session.sourceOpen = false;
    session.sourceEnabled = false;
}

// One transfer of an enable/disable cycle. A memory transfer given up on is
// left in state 7: the source is disabled at once, or closed at once when
// it is the session's last transfer.
bool runTransfer(const Transfer& transfer, bool lastOfSession)
{
    if (!negotiate(transfer))
        return false;
    TW_USERINTERFACE ui{};
    ui.ShowUI = 0;
    ui.hParent = session.window;
    if (ToSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS) {
        Fail("the source could not be enabled: " + ConditionText());
        return false;
    }
    session.sourceEnabled = true;
    TW_UINT16 request;
    while ((request = waitForRequest(10000)) == MSG_CLOSEDSREQ) {
    }
    if (request != MSG_XFERREADY) {
        Fail("no MSG_XFERREADY after enabling");
        disable();
        return false;
    }
    bool done = false;
    switch (transfer.kind) {
    case Kind::Native: done = nativeTransfer(); break;
    case Kind::Memory: done = memoryTransfer(false); break;
    case Kind::AbandonedMemory: done = memoryTransfer(true); break;
    case Kind::File: done = fileTransfer(); break;
    }
    if (transfer.kind == Kind::AbandonedMemory) {
        if (lastOfSession)
            closeSource();
        else
            disable();
        return done;
    }
    TW_PENDINGXFERS pending{};
    ToSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    waitForRequest(200);  // the close request that follows every transfer
    disable();
    return done;
}

// Bytes per session by least squares over the sessions' closing figures:
// the heap's ups and downs average out, a leak per session does not.
double bytesPerSession(const std::vector<long long>& closing)
{
    const size_t n = closing.size();
    if (n < 2)
        return 0;
    double meanX = (n - 1) / 2.0;
    double meanY = 0;
    for (long long bytes : closing)
        meanY += static_cast<double>(bytes) / n;
    double covariance = 0;
    double variance = 0;
    for (size_t i = 0; i < n; ++i) {
        covariance += (i - meanX) * (closing[i] - meanY);
        variance += (i - meanX) * (i - meanX);
    }
    return covariance / variance;
}

void printSample(int transfers, const Sample& sample)
{
    std::printf("%9d %14lld %8lld %8lld %8lld\n", transfers, sample.privateBytes, sample.handles, sample.gdiObjects,
                sample.userObjects);
    std::fflush(stdout);
}

}  // namespace

int RunSoak(int sessions)
{
    if (!OpenManager())
        return 1;
    std::printf("soak through %s: %d sessions of %d transfers\n", session.options.managerPath.c_str(), sessions,
                kTransfersPerSession);
    std::printf("%9s %14s %8s %8s %8s\n", "transfers", "private bytes", "handles", "GDI", "USER");
    Sample baseline{};
    Sample highest{};
    std::vector<long long> closingBytes;  // from the second session on
    int transfers = 0;
    int failures = 0;
    for (int number = 1; number <= sessions; ++number) {
        if (ToManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &session.source) != TWRC_SUCCESS ||
            ToManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &session.source) != TWRC_SUCCESS) {
            Fail("the data source did not open in session " + std::to_string(number));
            ++failures;
            break;
        }
        session.sourceOpen = true;
        for (int i = 0; i < kTransfersPerSession && session.sourceOpen; ++i) {
            const Transfer transfer = plannedTransfer(transfers);
            if (!runTransfer(transfer, i == kTransfersPerSession - 1)) {
                ++failures;
                Report(std::string("transfer ") + std::to_string(transfers + 1) + " (" + kindName(transfer.kind) +
                       ", pixel type " + std::to_string(transfer.pixelType) + ", " +
                       std::to_string(transfer.resolution) + " dpi) failed");
            }
            if (++transfers % kReportEvery == 0)
                printSample(transfers, takeSample());
        }
        if (session.sourceOpen)
            closeSource();
        const Sample sample = takeSample();
        if (number == 1) {
            baseline = highest = sample;
        } else {
            closingBytes.push_back(sample.privateBytes);
            highest.privateBytes = std::max(highest.privateBytes, sample.privateBytes);
            highest.handles = std::max(highest.handles, sample.handles);
            highest.gdiObjects = std::max(highest.gdiObjects, sample.gdiObjects);
            highest.userObjects = std::max(highest.userObjects, sample.userObjects);
        }
    }
    CloseEverything();

    const long long growth = highest.privateBytes - baseline.privateBytes;
    const long long handleGrowth = highest.handles - baseline.handles;
    const long long objectGrowth =
        std::max(highest.gdiObjects - baseline.gdiObjects, highest.userObjects - baseline.userObjects);
    const bool flat = growth < kPageBytes && handleGrowth < kHandleLimit && objectGrowth < kHandleLimit;
    std::printf("after the first session: private bytes +%lld (limit %lld), handles +%lld, GDI/USER objects +%lld "
                "(limit %lld); %d failed transfers\n",
                growth, kPageBytes, handleGrowth, objectGrowth, kHandleLimit, failures);
    std::printf("trend from the second session on: %+.0f private bytes per session\n", bytesPerSession(closingBytes));
    std::printf("soak %s\n", flat && failures == 0 ? "flat" : "FAILED");
    return flat && failures == 0 ? 0 : 1;
}
