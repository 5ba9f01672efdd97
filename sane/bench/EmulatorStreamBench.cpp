// emulator_stream_bench PAGE emulator|decoder
//
// The two halves of a scanimage scan of PAGE from the emulator at 600 dpi in
// colour over a letter page, for scripts/bench.sh to set against the whole:
//   emulator  the emulator alone: it loads the page, codes the scan when the
//             start command arrives and hands out every block of the stream
//             (read and dropped), on a thread of its own as in the backend, so
//             that the allocator keeps the same arenas. Its time and peak
//             memory are measured from outside, as scanimage's are.
//   decoder   the decoder alone on that same stream, fed as the engine feeds
//             it; prints its processor seconds.
#include "BenchSupport.h"
#include "EmulatedDeviceFiles.h"
#include "ScanReplyResult.h"
#include "ScannerProtocol.h"
#include "StreamDecoder.h"
#include "UsbTransportCore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace {

class OneProcessMutexes : public SystemMutexes {
public:
    MutexHandle openExisting(const char*) override { return kNoMutex; }
    MutexHandle createOwned(const char*) override { return 1; }
    bool release(MutexHandle) override { return true; }
    MutexWait wait(MutexHandle, uint32_t) override { return MutexWait::signalled; }
    bool close(MutexHandle) override { return true; }
    void sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

class SilentNotices : public DeviceNotices {
public:
    void trace(const char*) override {}
    void showWarning(unsigned id, bool) override { std::fprintf(stderr, "message %u\n", id); }
    void traceWarningValue(unsigned, int) override {}
    std::string systemErrorText(uint32_t) override { return {}; }
};

}  // namespace

int scan(const char* page, const std::string& mode)
{
    std::string error;
    std::unique_ptr<EmulatedDeviceFiles> files = EmulatedDeviceFiles::fromSetting(page, error);
    if (!files) {
        std::fprintf(stderr, "emulator_stream_bench: %s\n", error.c_str());
        return 1;
    }
    OneProcessMutexes mutexes;
    UsbTransportCore transport(*files, mutexes);
    SilentNotices notices;
    ScannerProtocol protocol(transport, notices);
    if (transport.open() != SCAN_REPLY_SUCCESS)
        return 1;

    ScanParameters p;
    p.pixelType = PIXEL_TYPE_COLOUR;
    p.resolution = 600;
    DeviceResolution resolution = deviceResolution(p.resolution);
    DeviceFrame frame = deviceFrame(p, resolution);
    for (const CommandPacket& command :
         {makeCommand(CMD_LOCK), colourModeCommand(p.pixelType), resolutionCommand(resolution), originCommand(frame),
          sizeCommand(frame), sourceCommand(true), brightnessContrastCommand(p)}) {
        if (protocol.writeEscCommand(command) != SCANCMD_RESULT_SUCCESS)
            return 1;
    }
    CommandPacket start = makeCommand(CMD_START);
    if (transport.write(start.data(), 8) != USB_OK)
        return 1;

    std::vector<uint8_t> stream;
    std::vector<uint8_t> block(kMaxScanPayload + 1);
    int reply = SCAN_REPLY_SUCCESS;
    while (reply == SCAN_REPLY_SUCCESS) {
        int length = 0;
        reply = protocol.readScanReply(&length, block.data());
        if (mode == "decoder")
            stream.insert(stream.end(), block.begin(), block.begin() + length);
    }
    protocol.writeEscCommand(makeCommand(CMD_UNLOCK));
    transport.close();
    if (reply != SCAN_REPLY_STATUS_OK)
        return 1;
    if (mode == "decoder") {
        double seconds = bench::decoderSeconds(stream, frame.width, frame.height, 3);
        if (seconds < 0)
            return 1;
        std::printf("%.3f\n", seconds);
    }
    return 0;
}

int main(int argc, char** argv)
{
    std::string mode = argc == 3 ? argv[2] : "";
    if (mode != "emulator" && mode != "decoder") {
        std::fprintf(stderr, "usage: emulator_stream_bench PAGE emulator|decoder\n");
        return 2;
    }
    int result = 1;
    std::thread scanThread([&] { result = scan(argv[1], mode); });
    scanThread.join();
    return result;
}
