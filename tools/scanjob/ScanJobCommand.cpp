#include "ScanJobCommand.h"

#include "EmulatedDeviceFiles.h"
#include "HeapMemoryBlocks.h"
#include "ImagingBitmapSteps.h"
#include "ScanJob.h"
#include "ScanReplyResult.h"
#include "UsbTransportCore.h"

#include <chrono>
#include <cstdlib>
#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <thread>

namespace {

const std::map<unsigned, const char*>& keyNames()
{
    static const std::map<unsigned, const char*> names = {
        {4, "IDS_ERROR_SELECT_LARGER_AREA"},
        {6, "IDS_ERROR_NO_MEMORY_FOR_DIB"},
        {7, "IDS_ERROR_CANT_CREATE_DATA_FILE"},
        {8, "IDS_ERROR_SCAN_SETTING"},
        {9, "IDS_ERROR_CANT_OPEN_DATA_FILE"},
        {10, "IDS_ERROR_SCAN_RESOLUTION"},
        {11, "IDS_ERROR_SCAN_OFFSET"},
        {12, "IDS_ERROR_SCAN_SIZE"},
        {13, "IDS_ERROR_SCAN_START"},
        {14, "IDS_ERROR_SCAN_ABORT"},
        {15, "IDS_ERROR_TIMEOUT_MONO"},
        {17, "IDS_ERROR_DECOMP_MORE"},
        {19, "IDS_ERROR_CANT_CLOSE_CHANNEL"},
        {21, "IDS_ERROR_QUERY_DOC_FEEDER"},
        {22, "IDS_ERROR_SCAN_SOURCE"},
        {23, "IDS_ERROR_SCAN_CLIPPING"},
        {35, "IDS_ERROR_SET_FILTER"},
        {37, "IDS_ERROR_DECOMP_START"},
        {38, "IDS_ERROR_DISCONNECTION"},
        {39, "IDS_ERROR_SCANNER_NOT_LOCKED"},
        {40, "IDS_ERROR_SCANNER_WARMING"},
        {41, "IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE"},
        {42, "IDS_ERROR_ADF_JAM"},
        {43, "IDS_ERROR_INTERNAL_FAILURE"},
        {44, "IDS_ERROR_OTHER_APP_USING_SCANNER"},
        {1078, "TWAINUI_CAPTION"},
        {1083, "IDS_MESSAGE_ADF_PROMPT"},
        {1101, "IDS_MESSAGE_ADF_NOT_ATTACHED"},
        {1102, "IDS_MESSAGE_ADF_SCAN_UNIT_OPEN"},
        {1103, "IDS_MESSAGE_ADF_SCAN_COVER_OPEN"},
        {1104, "IDS_MESSAGE_ADF_COVER_OPEN"},
    };
    return names;
}

ToolTime realTime()
{
    auto start = std::chrono::steady_clock::now();
    return {[start] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); },
            [](double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }};
}

// One process, one scanner: the access mutex is only counted.
class ProcessMutexes : public SystemMutexes {
public:
    explicit ProcessMutexes(const ToolTime& time) : time_(time) {}
    MutexHandle openExisting(const char*) override { return kNoMutex; }
    MutexHandle createOwned(const char*) override { return 1; }
    bool release(MutexHandle) override { return true; }
    MutexWait wait(MutexHandle, uint32_t) override { return MutexWait::signalled; }
    bool close(MutexHandle) override { return true; }
    void sleep(uint32_t milliseconds) override { time_.sleep(milliseconds / 1000.0); }

private:
    const ToolTime& time_;
};

// What the user would have seen, as lines of the report.
class ReportingNotices : public DeviceNotices {
public:
    explicit ReportingNotices(std::ostream& out) : out_(out) {}
    void trace(const char*) override {}
    void showWarning(unsigned id, bool show) override
    {
        out_ << (show ? "message " : "trace ") << messageKeyName(id) << "\n";
    }
    void traceWarningValue(unsigned id, int value) override
    {
        out_ << "trace " << messageKeyName(id) << " " << value << "\n";
    }
    std::string systemErrorText(uint32_t code) override { return std::to_string(code); }

private:
    std::ostream& out_;
};

// The lamp dialog and the progress dialog in the terminal; the feeder
// prompt is answered with Cancel, as nobody is there to load paper.
class TerminalView : public ScanJobView, public LampWarmingView, public SecondsClock {
public:
    TerminalView(std::ostream& out, const ToolTime& time) : out_(out), time_(time) {}
    bool openProgress() override { return true; }
    void dispatchProgressMessages() override {}
    void showProgress(int) override {}
    void closeProgress() override {}
    int askOkCancel(unsigned textId, unsigned) override
    {
        out_ << "prompt " << messageKeyName(textId) << " -> Cancel\n";
        return 2;
    }
    void open(unsigned id) override { out_ << "lamp dialog " << messageKeyName(id) << "\n"; }
    void pumpMessages() override { time_.sleep(0.1); }
    void close() override {}
    int64_t nowSeconds() override { return static_cast<int64_t>(time_.now()); }

private:
    std::ostream& out_;
    const ToolTime& time_;
};

// Temporary files in the system's temporary folder; the warnings as lines
// of the report.
class ToolBitmapPlatform : public BitmapPlatform {
public:
    explicit ToolBitmapPlatform(std::ostream& out) : out_(out) {}
    bool newTemporaryFileName(std::string& path) override
    {
        char name[] = "/tmp/scanjobXXXXXX";
        int fd = mkstemp(name);
        if (fd < 0)
            return false;
        close(fd);
        path = name;
        return true;
    }
    bool moduleLoaded(const char*) override { return false; }
    void showWarning(unsigned id, bool show) override
    {
        out_ << (show ? "message " : "trace ") << messageKeyName(id) << "\n";
    }
    void showPlainWarning(unsigned id, int code, int line, const char*) override
    {
        out_ << "message " << messageKeyName(id) << " " << code << " @ " << line << "\n";
    }

private:
    std::ostream& out_;
};

class NoExecutionState : public ExecutionState {
public:
    void keepAwake() override {}
    void restore() override {}
};

bool parseInt(const std::string& text, int* value)
{
    std::istringstream in(text);
    return static_cast<bool>(in >> *value) && in.eof();
}

bool parseFrame(const std::string& text, ScanParameters* p)
{
    int values[4];
    std::istringstream in(text);
    char comma = 0;
    for (int i = 0; i < 4; ++i) {
        if (!(in >> values[i]) || (i < 3 && (!(in >> comma) || comma != ',')))
            return false;
    }
    p->left = values[0];
    p->top = values[1];
    p->right = values[2];
    p->bottom = values[3];
    return in.eof() || (in >> std::ws).eof();
}

uint32_t littleEndian(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// A packed DIB as a .bmp file: the file header, then the DIB as it is.
bool writeBmp(const uint8_t* dib, size_t size, const std::string& path)
{
    if (size < 40 || littleEndian(dib) != 40)
        return false;
    uint32_t bitCount = dib[14] | dib[15] << 8;
    uint32_t colours = littleEndian(dib + 32);
    if (colours == 0 && bitCount <= 8)
        colours = 1u << bitCount;
    uint32_t offset = 14 + 40 + colours * 4;
    uint32_t fileSize = 14 + static_cast<uint32_t>(size);
    uint8_t header[14] = {'B', 'M'};
    for (int i = 0; i < 4; ++i) {
        header[2 + i] = static_cast<uint8_t>(fileSize >> (8 * i));
        header[10 + i] = static_cast<uint8_t>(offset >> (8 * i));
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    file.write(reinterpret_cast<const char*>(dib), static_cast<std::streamsize>(size));
    return static_cast<bool>(file);
}

const char kUsage[] =
    "usage: scanjob --emulator PAGE_OR_CONFIG [--resolution R] [--pixel-type bw|gray|rgb]\n"
    "               [--frame L,T,R,B] [--feeder] [--threshold N] [--memory-transfer] [--scans N]\n"
    "               --out FILE.bmp\n";

// Writes the scanned DIB; false when the file could not be written.
bool saveScan(HeapMemoryBlocks& memory, DibHandle dib, const std::string& path)
{
    bool written = false;
    if (uint8_t* bytes = memory.lock(dib)) {
        written = writeBmp(bytes, memory.blockSize(dib), path);
        memory.unlock(dib);
    }
    memory.release(dib);
    return written;
}

}  // namespace

std::string numberedOutputPath(const std::string& path, int number)
{
    size_t name = path.find_last_of("/\\");
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (name != std::string::npos && dot < name))
        dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(number) + path.substr(dot);
}

std::string messageKeyName(unsigned stringId)
{
    auto found = keyNames().find(stringId);
    return found != keyNames().end() ? found->second : "#" + std::to_string(stringId);
}

int runScanJobCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                      const ToolTime* time)
{
    std::string emulator, outPath;
    ScanRequest request;
    ScanParameters& p = request.parameters;
    int forMemoryTransfer = 0;
    int scans = 1;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        bool hasValue = i + 1 < arguments.size();
        bool ok = true;
        if (a == "--feeder") {
            request.feederEnabled = true;
            p.feederChecked = 1;
        } else if (a == "--memory-transfer") {
            forMemoryTransfer = 1;
        } else if (!hasValue) {
            ok = false;
        } else if (a == "--emulator") {
            emulator = arguments[++i];
        } else if (a == "--out") {
            outPath = arguments[++i];
        } else if (a == "--resolution") {
            int r = 0;
            ok = parseInt(arguments[++i], &r);
            p.resolution = r;
        } else if (a == "--threshold") {
            int t = 0;
            ok = parseInt(arguments[++i], &t) && t >= 0 && t <= 255;
            p.threshold = static_cast<int16_t>(t);
        } else if (a == "--pixel-type") {
            const std::string& t = arguments[++i];
            ok = t == "bw" || t == "gray" || t == "rgb";
            p.pixelType = t == "bw" ? PIXEL_TYPE_BLACK_WHITE : t == "gray" ? PIXEL_TYPE_GREY : PIXEL_TYPE_COLOUR;
        } else if (a == "--frame") {
            ok = parseFrame(arguments[++i], &p);
        } else if (a == "--scans") {
            ok = parseInt(arguments[++i], &scans) && scans >= 1;
        } else {
            ok = false;
        }
        if (!ok) {
            err << "scanjob: bad argument " << a << "\n" << kUsage;
            return 2;
        }
    }
    if (emulator.empty() || outPath.empty()) {
        err << kUsage;
        return 2;
    }
    ToolTime real;
    if (!time) {
        real = realTime();
        time = &real;
    }
    std::string error;
    std::unique_ptr<EmulatedDeviceFiles> files =
        EmulatedDeviceFiles::fromSetting(emulator, error, time->now, time->sleep);
    if (!files) {
        err << "scanjob: " << error << "\n";
        return 2;
    }
    ProcessMutexes mutexes(*time);
    UsbTransportCore transport(*files, mutexes);
    ReportingNotices notices(out);
    ScannerProtocol protocol(transport, notices);
    TerminalView view(out, *time);
    HeapMemoryBlocks memory;
    InProcessImagingLibrary imaging(memory);
    ToolBitmapPlatform bitmapPlatform(out);
    NoExecutionState executionState;
    volatile int cancel = 0;
    int status = 1;
    for (int scan = 1; scan <= scans; ++scan) {
        if (scans > 1)
            out << "scan " << scan << "\n";
        ImagingBitmapSteps bitmap(memory, imaging, bitmapPlatform);
        ScanJobServices services{protocol, view, view, view, bitmap, executionState, cancel};
        DibHandle dib = nullptr;
        int result = runScanJob(services, request, 1, forMemoryTransfer, &dib);
        out << "result " << result << "\n";
        status = 1;
        if (result != SCAN_REPLY_SUCCESS)
            continue;
        std::string path = scans > 1 ? numberedOutputPath(outPath, scan) : outPath;
        if (saveScan(memory, dib, path))
            status = 0;
        else
            err << "scanjob: cannot write " << path << "\n";
    }
    return status;
}
