// Fits the benchmark page (600 dpi colour US letter) to 300 dpi the way a
// scan does (bitmap building, the imaging library in-process) and writes
// the result as BMP, TIFF and JPEG; prints MB/s of each step. Figures only:
// nothing here checks time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "BitmapBuilding.h"
#include "ImageFileSave.h"
#include "TestImages.h"

namespace {

constexpr int kRuns = 3;

double wallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

class QuietPlatform : public BitmapPlatform {
public:
    bool newTemporaryFileName(std::string&) override { return false; }
    bool moduleLoaded(const char*) override { return false; }
    void showWarning(unsigned id, bool) override { std::fprintf(stderr, "warning %u\n", id); }
    void showPlainWarning(unsigned id, int code, int line, const char*) override
    {
        std::fprintf(stderr, "library failure %u (%d) at %d\n", id, code, line);
    }
};

struct Best {
    double wall = 1e9, cpu = 1e9;
    void take(double w, double c)
    {
        wall = std::min(wall, w);
        cpu = std::min(cpu, c);
    }
    void print(const char* what, double megabytes) const
    {
        std::printf("%-34s %8.1f MB/s of cpu time (%.3f s wall, %.3f s cpu, best of %d; %.1f MB in)\n", what, megabytes / cpu,
                    wall, cpu, kRuns, megabytes);
    }
};

}

int main()
{
    const int width = scancodec::kLetterWidth600, height = scancodec::kLetterHeight600;
    const std::vector<uint8_t> page = scancodec::makeTestPage(width, height, 3);
    ScanParameters parameters;
    parameters.resolution = 300;
    parameters.pixelType = PIXEL_TYPE_COLOUR;
    parameters.left = 0, parameters.top = 0, parameters.right = 40800, parameters.bottom = 52800;
    const ScanGeometry geometry{600, 600, width, height, 3};
    HeapMemoryBlocks memory;
    InProcessImagingLibrary imaging(memory);
    QuietPlatform platform;

    // 300 dpi divides 600: exact area averaging. 250 dpi does not: the windowed filter.
    void* fitted = nullptr;
    for (int resolution : {250, 300}) {
        parameters.resolution = resolution;
        Best fit;
        double inputMegabytes = 0;
        for (int run = 0; run < kRuns; ++run) {
            ScanBitmapBuilder builder(parameters, geometry, memory, imaging, platform);
            void* dib = builder.createScanBitmap(1);
            if (!dib || !builder.openDataStore())
                return 1;
            for (int y = 0; y < height; ++y)
                builder.appendDecodedRow(page.data() + static_cast<size_t>(y) * width * 3, width * 3);
            builder.fillBitmapRows(dib);
            inputMegabytes = memory.blockSize(dib) / 1e6;
            memory.release(fitted);
            const double wall = wallSeconds(), cpu = bench::threadSeconds();
            if (builder.fitBitmapToRequest(dib, 0, &fitted) != 100)
                return 1;
            fit.take(wallSeconds() - wall, bench::threadSeconds() - cpu);
        }
        const std::string what = "fit 600 to " + std::to_string(resolution) + " dpi (104, 151, 106)";
        fit.print(what.c_str(), inputMegabytes);
    }

    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "imaging-bench";
    std::filesystem::create_directories(folder);
    const double outputMegabytes = memory.blockSize(fitted) / 1e6;
    const struct {
        const char* what;
        int format;
        const char* name;
    } saves[] = {{"write BMP", 2, "page.bmp"}, {"write TIFF", 0, "page.tif"}, {"write JPEG (medium)", 4, "page.jpg"}};
    for (const auto& save : saves) {
        Best best;
        const std::string path = (folder / save.name).string();
        for (int run = 0; run < kRuns; ++run) {
            const double wall = wallSeconds(), cpu = bench::threadSeconds();
            if (SaveImageFile(imaging, memory, fitted, save.format, path.c_str(), -2) != 1)
                return 1;
            best.take(wallSeconds() - wall, bench::threadSeconds() - cpu);
        }
        best.print(save.what, outputMegabytes);
    }
    memory.release(fitted);
    std::filesystem::remove_all(folder);
    return 0;
}
