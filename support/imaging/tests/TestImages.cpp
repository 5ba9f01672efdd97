#include "TestImages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace imaging::testing {
namespace {

Image blank(int width, int height, int bits, int dpi)
{
    Image image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bits;
    image.xResolution = dpi;
    image.yResolution = dpi;
    image.pixels.assign(image.stride() * height, 0);
    return image;
}

uint8_t noise(int x, int y) { return static_cast<uint8_t>((x * 7919 + y * 104729) >> 3); }

}

Image colourImage(int width, int height, int dpi)
{
    Image image = blank(width, height, 24, dpi);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.rowFromTop(y);
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<uint8_t>(x * 255 / std::max(1, width - 1));       // blue
            row[x * 3 + 1] = static_cast<uint8_t>(y * 255 / std::max(1, height - 1));  // green
            row[x * 3 + 2] = static_cast<uint8_t>((x + y) % 7 == 0 ? noise(x, y) : 128);
        }
    }
    return image;
}

Image greyImage(int width, int height, int dpi)
{
    Image image = blank(width, height, 8, dpi);
    image.paletteSize = 256;
    for (int i = 0; i < 256; ++i)
        image.palette[i * 4] = image.palette[i * 4 + 1] = image.palette[i * 4 + 2] = static_cast<uint8_t>(i);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.rowFromTop(y)[x] = static_cast<uint8_t>((x * 3 + y * 5) & 0xff);
    return image;
}

Image lineArtImage(int width, int height, int dpi)
{
    Image image = blank(width, height, 1, dpi);
    image.paletteSize = 2;
    image.palette[0] = image.palette[1] = image.palette[2] = 255;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x / 3 + y / 2) % 3 == 0 || x == y)
                image.rowFromTop(y)[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    return image;
}

std::vector<uint8_t> packedDib(const Image& image)
{
    std::vector<uint8_t> dib(packedDibSize(image));
    writePackedDib(image, dib.data());
    return dib;
}

void writeNetpbm(const Image& image, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    const char* magic = image.bitsPerPixel == 24 ? "P6" : image.bitsPerPixel == 8 ? "P5" : "P4";
    out << magic << "\n" << image.width << " " << image.height << "\n";
    if (image.bitsPerPixel != 1)
        out << "255\n";
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = image.rowFromTop(y);
        if (image.bitsPerPixel == 24) {
            for (int x = 0; x < image.width; ++x) {
                const char rgb[3] = {static_cast<char>(row[x * 3 + 2]), static_cast<char>(row[x * 3 + 1]),
                                     static_cast<char>(row[x * 3])};
                out.write(rgb, 3);
            }
        } else if (image.bitsPerPixel == 8) {
            out.write(reinterpret_cast<const char*>(row), image.width);
        } else {
            // PBM's 1 is black, as is palette entry 1 of line art; the
            // palette's order decides.
            const bool oneIsBlack = image.palette[4] < image.palette[0];
            for (int x = 0; x < (image.width + 7) / 8; ++x) {
                uint8_t bits = oneIsBlack ? row[x] : static_cast<uint8_t>(~row[x]);
                out.put(static_cast<char>(bits));
            }
        }
    }
}

std::string run(const std::string& command, int* status)
{
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    int result = pclose(pipe);
    if (status)
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}

bool haveTool(const char* name)
{
    int status = 0;
    run(std::string("command -v ") + name, &status);
    return status == 0;
}

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "imaging-test-XXXXXX").string();
    root_ = mkdtemp(pattern.data()) ? pattern : std::string();
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    if (!root_.empty())
        std::filesystem::remove_all(root_, ignored);
}

}
