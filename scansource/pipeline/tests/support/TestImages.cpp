#include "TestImages.h"

#include <algorithm>
#include <cmath>

namespace scancodec {
namespace {

class Random {
public:
    explicit Random(uint32_t variant) : state_(0x9E3779B97F4A7C15ull ^ variant) {}
    uint64_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    int below(int limit) { return static_cast<int>(next() % static_cast<uint64_t>(limit)); }

private:
    uint64_t state_;
};

// Gaussian noise of deviation 1.5, drawn ahead of time and looked up.
class SensorNoise {
public:
    explicit SensorNoise(Random& random)
    {
        const double pi = 3.14159265358979323846;
        for (size_t i = 0; i < kSize; ++i) {
            double u1 = (static_cast<double>(random.next() >> 11) + 1.0) / 9007199254740993.0;
            double u2 = static_cast<double>(random.next() >> 11) / 9007199254740992.0;
            double gauss = std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * pi * u2);
            table_[i] = static_cast<int8_t>(std::lround(std::clamp(gauss * 1.5, -127.0, 127.0)));
        }
    }
    int at(uint64_t index) const { return table_[index & (kSize - 1)]; }

private:
    static constexpr size_t kSize = 1 << 16;
    int8_t table_[kSize];
};

struct Rect {
    int left, top, right, bottom;
};

// Paper shade, photo and colour ramp: smooth functions of the position.
void paintBackground(std::vector<int16_t>& page, int width, int height, int channels, const Rect& photo,
                     const Rect& ramp)
{
    const double paper[3] = {246, 244, 238};
    for (int y = 0; y < height; ++y) {
        double shade = 4.0 * std::sin(static_cast<double>(y) / height * 3.0);
        for (int x = 0; x < width; ++x) {
            int16_t* p = &page[(static_cast<size_t>(y) * width + x) * channels];
            double tint = shade + 3.0 * static_cast<double>(x) / width;
            for (int c = 0; c < channels; ++c)
                p[c] = static_cast<int16_t>(paper[c] - tint);
        }
    }
    for (int y = photo.top; y < photo.bottom; ++y) {
        double v = static_cast<double>(y - photo.top) / (photo.bottom - photo.top);
        for (int x = photo.left; x < photo.right; ++x) {
            double u = static_cast<double>(x - photo.left) / (photo.right - photo.left);
            int16_t* p = &page[(static_cast<size_t>(y) * width + x) * channels];
            double sky = 60.0 * std::sin(u * 5.1 + v * 1.3) * std::cos(v * 3.7);
            double detail = 12.0 * std::sin(u * 140.0) * std::sin(v * 90.0 + u * 20.0);
            double values[3] = {120 + sky + detail, 110 + 0.8 * sky - detail + 40 * v, 150 - sky + 30 * u};
            for (int c = 0; c < channels; ++c)
                p[c] = static_cast<int16_t>(channels == 1 ? (values[0] + values[1] + values[2]) / 3 : values[c]);
        }
    }
    for (int y = ramp.top; y < ramp.bottom; ++y) {
        for (int x = ramp.left; x < ramp.right; ++x) {
            double u = static_cast<double>(x - ramp.left) / (ramp.right - ramp.left);
            int16_t* p = &page[(static_cast<size_t>(y) * width + x) * channels];
            double values[3] = {255 * u, 255 * (1 - u), 128 + 127 * std::sin(u * 6.28)};
            for (int c = 0; c < channels; ++c)
                p[c] = static_cast<int16_t>(values[c]);
        }
    }
}

void fillInk(std::vector<int16_t>& page, int width, int channels, const Rect& r, int ink)
{
    int height = static_cast<int>(page.size() / static_cast<size_t>(width * channels));
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, height); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, width); ++x) {
            int16_t* p = &page[(static_cast<size_t>(y) * width + x) * channels];
            for (int c = 0; c < channels; ++c)
                p[c] = static_cast<int16_t>(std::min<int>(p[c], ink));
        }
}

// Glyph strokes with a one-pixel half-tone rim, as a scanner blurs edges.
void drawStroke(std::vector<int16_t>& page, int width, int channels, const Rect& r)
{
    fillInk(page, width, channels, {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}, 120);
    fillInk(page, width, channels, r, 28);
}

void paintText(std::vector<int16_t>& page, int width, int channels, const Rect& area, const Rect& photo,
               Random& random)
{
    int cell = std::max(4, width / 100);
    int lineHeight = cell * 2;
    int stroke = std::max(1, cell / 8);
    for (int top = area.top; top + lineHeight <= area.bottom; top += lineHeight) {
        int x = area.left;
        while (x + cell <= area.right) {
            int word = 2 + random.below(8);
            for (int i = 0; i < word && x + cell <= area.right; ++i, x += cell) {
                bool overPhoto = x + cell > photo.left && x < photo.right && top + lineHeight > photo.top
                                 && top < photo.bottom;
                if (overPhoto)
                    continue;
                int glyphTop = top + cell / 4, glyphBottom = top + cell + cell / 4;
                int shape = random.below(16);
                int left = x + 1, right = x + cell - cell / 4;
                if (shape & 1)
                    drawStroke(page, width, channels, {left, glyphTop, left + stroke, glyphBottom});
                if (shape & 2)
                    drawStroke(page, width, channels, {right - stroke, glyphTop + cell / 3, right, glyphBottom});
                if (shape & 4)
                    drawStroke(page, width, channels, {left, glyphTop + cell / 3, right, glyphTop + cell / 3 + stroke});
                if (shape & 8 || shape == 0)
                    drawStroke(page, width, channels, {left, glyphBottom - stroke, right, glyphBottom});
            }
            x += cell;
        }
    }
}

}  // namespace

std::vector<uint8_t> makeTestPage(int width, int height, int channels, uint32_t variant)
{
    Random random(variant);
    SensorNoise noise(random);
    std::vector<int16_t> page(static_cast<size_t>(width) * height * channels);
    int marginX = width / 12, marginY = height / 14;
    Rect photo{width / 2, height * 3 / 10, width - marginX, height * 6 / 10};
    Rect ramp{marginX, height - marginY - std::max(1, height / 40), width - marginX, height - marginY};
    Rect text{marginX + 1, marginY + 1, width - marginX - 1, ramp.top - std::max(1, height / 40)};
    paintBackground(page, width, height, channels, photo, ramp);
    if (text.right > text.left && text.bottom > text.top)
        paintText(page, width, channels, text, photo, random);

    std::vector<uint8_t> image(page.size());
    uint64_t position = random.next();
    for (size_t i = 0; i < page.size(); ++i) {
        position = position * 6364136223846793005ull + 1442695040888963407ull;
        image[i] = static_cast<uint8_t>(std::clamp(page[i] + noise.at(position >> 48), 0, 255));
    }
    return image;
}

std::vector<uint8_t> makeNoiseImage(int width, int height, int channels, uint32_t variant)
{
    Random random(variant);
    std::vector<uint8_t> image(static_cast<size_t>(width) * height * channels);
    for (uint8_t& byte : image)
        byte = static_cast<uint8_t>(random.next() >> 56);
    return image;
}

}  // namespace scancodec
