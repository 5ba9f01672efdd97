#include "RowResampler.h"

#include <algorithm>

void RowResampler::begin(int inWidth, int inHeight, int outWidth, int outHeight, int channels)
{
    // Scanned pixel i spans [i × outWidth, (i + 1) × outWidth) and output
    // pixel x spans [x × inWidth, (x + 1) × inWidth): their overlap is the
    // scanned pixel's weight in the output pixel.
    shares_.clear();
    const uint64_t in = static_cast<uint64_t>(inWidth);
    const uint64_t out = static_cast<uint64_t>(outWidth);
    uint64_t i = 0;
    uint64_t x = 0;
    while (i < in && x < out) {
        const uint64_t end = std::min((i + 1) * out, (x + 1) * in);
        const uint64_t start = std::max(i * out, x * in);
        for (int c = 0; c < channels; ++c)
            shares_.push_back({static_cast<uint32_t>(i * channels + c), static_cast<uint32_t>(x * channels + c),
                               static_cast<uint32_t>(end - start)});
        if (end == (i + 1) * out)
            ++i;
        if (end == (x + 1) * in)
            ++x;
    }
    const size_t values = static_cast<size_t>(outWidth) * static_cast<size_t>(channels);
    columnSums_.assign(values, 0);
    rowSums_.assign(values, 0);
    out_.assign(values, 0);
    area_ = in * static_cast<uint64_t>(inHeight);
    inHeight_ = static_cast<uint64_t>(inHeight);
    outHeight_ = static_cast<uint64_t>(outHeight);
    rowsIn_ = 0;
    rowsOut_ = 0;
    filled_ = 0;
}

void RowResampler::addRow(const uint8_t* row, const Emit& emit)
{
    if (rowsIn_ >= inHeight_)
        return;
    ++rowsIn_;
    std::fill(columnSums_.begin(), columnSums_.end(), 0u);
    for (const Share& s : shares_)
        columnSums_[s.to] += row[s.from] * s.weight;
    // Scanned row y spans [y × outHeight, (y + 1) × outHeight) and output
    // row j spans [j × inHeight, (j + 1) × inHeight).
    uint64_t left = outHeight_;
    while (left > 0 && rowsOut_ < outHeight_) {
        const uint64_t take = std::min(left, inHeight_ - filled_);
        for (size_t v = 0; v < rowSums_.size(); ++v)
            rowSums_[v] += columnSums_[v] * take;
        left -= take;
        filled_ += take;
        if (filled_ < inHeight_)
            break;
        for (size_t v = 0; v < rowSums_.size(); ++v)
            out_[v] = static_cast<uint8_t>((rowSums_[v] + area_ / 2) / area_);
        std::fill(rowSums_.begin(), rowSums_.end(), uint64_t{0});
        filled_ = 0;
        ++rowsOut_;
        emit(out_.data());
    }
}
