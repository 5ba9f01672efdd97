#include "Netpbm.h"

#include <cctype>
#include <limits>

namespace scanstream {
namespace {

class HeaderReader {
public:
    explicit HeaderReader(const std::vector<uint8_t>& file) : file_(file) {}

    // A decimal field after whitespace and comments; false when absent.
    bool number(long long limit, int* value)
    {
        skipSpaceAndComments();
        long long result = 0;
        size_t start = at_;
        while (at_ < file_.size() && std::isdigit(file_[at_])) {
            result = result * 10 + (file_[at_++] - '0');
            if (result > limit)
                return false;
        }
        if (at_ == start)
            return false;
        *value = static_cast<int>(result);
        return true;
    }

    // Exactly one whitespace byte ends the header.
    bool endOfHeader()
    {
        if (at_ >= file_.size() || !std::isspace(file_[at_]))
            return false;
        ++at_;
        return true;
    }

    size_t position() const { return at_; }

private:
    void skipSpaceAndComments()
    {
        while (at_ < file_.size()) {
            if (std::isspace(file_[at_])) {
                ++at_;
            } else if (file_[at_] == '#') {
                while (at_ < file_.size() && file_[at_] != '\n')
                    ++at_;
            } else {
                break;
            }
        }
    }

    const std::vector<uint8_t>& file_;
    size_t at_ = 2;
};

}  // namespace

std::string netpbmHeader(int width, int height, int channels)
{
    return std::string(channels == 3 ? "P6" : "P5") + "\n" + std::to_string(width) + " " + std::to_string(height)
           + "\n255\n";
}

bool parseNetpbm(const std::vector<uint8_t>& file, NetpbmImage* image, std::string* error)
{
    if (file.size() < 2 || file[0] != 'P' || (file[1] != '5' && file[1] != '6')) {
        *error = "not a binary PGM or PPM (P5 or P6)";
        return false;
    }
    HeaderReader header(file);
    int width = 0, height = 0, maxValue = 0;
    const int limit = std::numeric_limits<int>::max();
    if (!header.number(limit, &width) || !header.number(limit, &height) || !header.number(65535, &maxValue)
        || !header.endOfHeader()) {
        *error = "malformed PGM/PPM header";
        return false;
    }
    if (maxValue != 255) {
        *error = "only 8-bit images (maximum value 255) are supported";
        return false;
    }
    if (width < 1 || height < 1) {
        *error = "image has no pixels";
        return false;
    }
    int channels = file[1] == '6' ? 3 : 1;
    unsigned long long size = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height)
                              * static_cast<unsigned long long>(channels);
    if (file.size() - header.position() < size) {
        *error = "image data is shorter than the header says";
        return false;
    }
    image->width = width;
    image->height = height;
    image->channels = channels;
    image->pixels.assign(file.begin() + static_cast<long>(header.position()),
                         file.begin() + static_cast<long>(header.position() + size));
    return true;
}

}  // namespace scanstream
