#include "PageImage.h"

#include <cctype>
#include <fstream>
#include <iterator>

namespace {

// Reads the next header number, skipping white space and comments.
bool readHeaderNumber(const std::vector<uint8_t>& bytes, size_t& pos, int& value)
{
    for (;;) {
        while (pos < bytes.size() && std::isspace(bytes[pos]))
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '#') {
            while (pos < bytes.size() && bytes[pos] != '\n')
                ++pos;
            continue;
        }
        break;
    }
    if (pos >= bytes.size() || !std::isdigit(bytes[pos]))
        return false;
    long long v = 0;
    while (pos < bytes.size() && std::isdigit(bytes[pos])) {
        v = v * 10 + (bytes[pos++] - '0');
        if (v > 1000000)
            return false;
    }
    value = static_cast<int>(v);
    return true;
}

}  // namespace

bool looksLikePageImage(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 3 && bytes[0] == 'P' && (bytes[1] == '5' || bytes[1] == '6') && std::isspace(bytes[2]);
}

bool PageImage::load(const std::string& path, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open page image " + path;
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return parse(bytes, error);
}

bool PageImage::parse(const std::vector<uint8_t>& bytes, std::string& error)
{
    if (!looksLikePageImage(bytes)) {
        error = "not a binary PGM or PPM image";
        return false;
    }
    int channels = bytes[1] == '5' ? 1 : 3;
    size_t pos = 2;
    int width = 0, height = 0, maxValue = 0;
    if (!readHeaderNumber(bytes, pos, width) || !readHeaderNumber(bytes, pos, height) ||
        !readHeaderNumber(bytes, pos, maxValue) || pos >= bytes.size() || !std::isspace(bytes[pos])) {
        error = "bad image header";
        return false;
    }
    ++pos;
    if (width < 1 || height < 1 || maxValue < 1 || maxValue > 255) {
        error = "unsupported image size or depth";
        return false;
    }
    size_t size = static_cast<size_t>(width) * height * channels;
    if (bytes.size() - pos < size) {
        error = "image data is short";
        return false;
    }
    pixels_.assign(bytes.begin() + pos, bytes.begin() + pos + size);
    if (maxValue != 255) {
        for (uint8_t& p : pixels_)
            p = static_cast<uint8_t>(p > maxValue ? 255 : p * 255 / maxValue);
    }
    width_ = width;
    height_ = height;
    channels_ = channels;
    return true;
}

void PageImage::rgb(int x, int y, uint8_t out[3]) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        out[0] = out[1] = out[2] = 255;
        return;
    }
    const uint8_t* p = pixels_.data() + (static_cast<size_t>(y) * width_ + x) * channels_;
    out[0] = p[0];
    out[1] = channels_ == 3 ? p[1] : p[0];
    out[2] = channels_ == 3 ? p[2] : p[0];
}

uint8_t PageImage::grey(int x, int y) const
{
    uint8_t c[3];
    rgb(x, y, c);
    return static_cast<uint8_t>((c[0] * 299 + c[1] * 587 + c[2] * 114 + 500) / 1000);
}
