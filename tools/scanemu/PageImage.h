#pragma once
// The page lying on the emulated scanner's glass: a binary PGM or PPM image
// whose width spans the whole bed.
#include <cstdint>
#include <string>
#include <vector>

class PageImage {
public:
    // Reads a binary PGM (P5) or PPM (P6) with a maximum value up to 255.
    bool load(const std::string& path, std::string& error);
    bool parse(const std::vector<uint8_t>& bytes, std::string& error);

    int width() const { return width_; }
    int height() const { return height_; }
    int channels() const { return channels_; }

    // Red, green and blue of a pixel; white outside the image.
    void rgb(int x, int y, uint8_t out[3]) const;
    uint8_t grey(int x, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    int channels_ = 0;
    std::vector<uint8_t> pixels_;
};

// True when the bytes start like a binary PGM or PPM file.
bool looksLikePageImage(const std::vector<uint8_t>& bytes);
