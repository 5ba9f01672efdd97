#pragma once
// Test images for the imaging library, independent readers (ImageMagick,
// libtiff's tools) and a scratch folder.
#include "ImageCore.h"

#include <string>
#include <vector>

namespace imaging::testing {

// Deterministic content: a colour gradient with noise, a grey ramp, a line-art
// pattern (1 = black with the scan palette).
Image colourImage(int width, int height, int dpi = 300);
Image greyImage(int width, int height, int dpi = 300);
Image lineArtImage(int width, int height, int dpi = 300);

// The packed DIB of an image.
std::vector<uint8_t> packedDib(const Image& image);

// The image as PPM (colour), PGM (grey ramp) or PBM (line art): a reference
// any reader understands.
void writeNetpbm(const Image& image, const std::string& path);

// Output of a shell command (stdout and stderr), and its exit status.
std::string run(const std::string& command, int* status = nullptr);
bool haveTool(const char* name);

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::string path(const std::string& name) const { return root_ + "/" + name; }

private:
    std::string root_;
};

}
