#include "ImageFiles.h"

#include "ByteSink.h"
#include "ImagingInterface.h"
#include "StbCodecs.h"

#include <cmath>
#include <cstring>
#include <new>

namespace imaging {

void MemorySink::write(const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    out_.insert(out_.end(), bytes, bytes + size);
}

void MemorySink::patch(uint64_t offset, const void* data, size_t size)
{
    if (offset + size > out_.size()) {
        ok_ = false;
        return;
    }
    std::memcpy(out_.data() + offset, data, size);
}

void FileSink::write(const void* data, size_t size)
{
    if (!ok_ || size == 0)
        return;
    if (std::fwrite(data, 1, size, file_) != size)
        ok_ = false;
    position_ += size;
}

void FileSink::patch(uint64_t offset, const void* data, size_t size)
{
    if (!ok_ || offset > 0x7fffffff || position_ > 0x7fffffff)
        return void(ok_ = false);
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 || std::fwrite(data, 1, size, file_) != size ||
        std::fseek(file_, static_cast<long>(position_), SEEK_SET) != 0)
        ok_ = false;
}

namespace {

void put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}
uint32_t get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// BMP: file header, then the packed DIB as the image holds it, rows bottom first.
void writeBmp(const Image& image, ByteSink& sink)
{
    const size_t dibSize = packedDibSize(image);
    const size_t imageBytes = image.stride() * image.height;
    const size_t headerAndPalette = dibSize - imageBytes;
    std::vector<uint8_t> head;
    head.reserve(14 + headerAndPalette);
    head.push_back('B');
    head.push_back('M');
    put32(head, static_cast<uint32_t>(14 + dibSize));
    put32(head, 0);
    put32(head, static_cast<uint32_t>(14 + headerAndPalette));
    Image headerOnly;
    headerOnly.width = image.width;
    headerOnly.height = image.height;
    headerOnly.bitsPerPixel = image.bitsPerPixel;
    headerOnly.xResolution = image.xResolution;
    headerOnly.yResolution = image.yResolution;
    headerOnly.palette = image.palette;
    headerOnly.pixels.assign(headerOnly.stride() * headerOnly.height, 0);
    std::vector<uint8_t> dib(packedDibSize(headerOnly));
    writePackedDib(headerOnly, dib.data());
    head.insert(head.end(), dib.begin(), dib.begin() + static_cast<std::ptrdiff_t>(headerAndPalette));
    sink.write(head.data(), head.size());
    if (!image.topDown) {
        sink.write(image.pixels.data(), imageBytes);
        return;
    }
    for (int y = image.height - 1; y >= 0; --y)
        sink.write(image.rowFromTop(y), image.stride());
}

enum class Photometric : uint16_t { whiteIsZero = 0, blackIsZero = 1, rgb = 2, palette = 3 };

Photometric photometricFor(const Image& image)
{
    if (image.bitsPerPixel == 24)
        return Photometric::rgb;
    if (image.bitsPerPixel == 8)
        return hasGreyRamp(image) ? Photometric::blackIsZero : Photometric::palette;
    const uint8_t* zero = &image.palette[0];
    const uint8_t* one = &image.palette[4];
    bool zeroWhite = zero[0] == 255 && zero[1] == 255 && zero[2] == 255;
    bool zeroBlack = zero[0] == 0 && zero[1] == 0 && zero[2] == 0;
    bool oneWhite = one[0] == 255 && one[1] == 255 && one[2] == 255;
    bool oneBlack = one[0] == 0 && one[1] == 0 && one[2] == 0;
    if (zeroWhite && oneBlack)
        return Photometric::whiteIsZero;
    if (zeroBlack && oneWhite)
        return Photometric::blackIsZero;
    return Photometric::palette;
}

// PackBits of one row (TIFF compression 32773).
void packBits(const uint8_t* row, size_t count, std::vector<uint8_t>& out)
{
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(1 - static_cast<int>(run)));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < count && literal < 128 &&
               !(i + literal + 1 < count && row[i + literal] == row[i + literal + 1]))
            ++literal;
        out.push_back(static_cast<uint8_t>(literal - 1));
        out.insert(out.end(), row + i, row + i + literal);
        i += literal;
    }
}

struct TiffEntry {
    uint16_t tag;
    uint16_t type;  // 3 SHORT, 4 LONG, 5 RATIONAL
    std::vector<uint32_t> values;
};

// One TIFF page: its strips from the sink's position, then its directory.
// Returns the directory's offset, or 0 when the file would outgrow 4 GB.
uint32_t writeTiffPage(const Image& image, ByteSink& sink, bool page)
{
    const Photometric photometric = photometricFor(image);
    const size_t rowBytes = (static_cast<size_t>(image.width) * image.bitsPerPixel + 7) / 8;
    const bool packBitsRows = image.bitsPerPixel == 1;
    const uint32_t rowsPerStrip = static_cast<uint32_t>(std::max<size_t>(1, 65536 / rowBytes));
    std::vector<uint32_t> offsets, counts;
    std::vector<uint8_t> strip;
    strip.reserve(rowBytes * rowsPerStrip + rowsPerStrip * 2);
    for (int y = 0; y < image.height; y += static_cast<int>(rowsPerStrip)) {
        strip.clear();
        const int end = std::min(image.height, y + static_cast<int>(rowsPerStrip));
        for (int row = y; row < end; ++row) {
            const uint8_t* source = image.rowFromTop(row);
            if (packBitsRows) {
                packBits(source, rowBytes, strip);
            } else if (photometric == Photometric::rgb) {
                size_t at = strip.size();
                strip.resize(at + rowBytes);
                uint8_t* target = strip.data() + at;
                for (size_t x = 0; x < rowBytes; x += 3) {
                    target[x] = source[x + 2];
                    target[x + 1] = source[x + 1];
                    target[x + 2] = source[x];
                }
            } else {
                strip.insert(strip.end(), source, source + rowBytes);
            }
        }
        if (sink.position() + strip.size() > 0xfffff000u)
            return 0;
        offsets.push_back(static_cast<uint32_t>(sink.position()));
        counts.push_back(static_cast<uint32_t>(strip.size()));
        sink.write(strip.data(), strip.size());
    }
    if (sink.position() & 1)
        sink.write("", 1);

    const int samples = image.bitsPerPixel == 24 ? 3 : 1;
    std::vector<TiffEntry> entries;
    entries.push_back({254, 4, {page ? 2u : 0u}});
    entries.push_back({256, 4, {static_cast<uint32_t>(image.width)}});
    entries.push_back({257, 4, {static_cast<uint32_t>(image.height)}});
    entries.push_back({258, 3, std::vector<uint32_t>(samples, static_cast<uint32_t>(image.bitsPerPixel / samples))});
    entries.push_back({259, 3, {packBitsRows ? 32773u : 1u}});
    entries.push_back({262, 3, {static_cast<uint32_t>(photometric)}});
    entries.push_back({273, 4, offsets});
    entries.push_back({277, 3, {static_cast<uint32_t>(samples)}});
    entries.push_back({278, 4, {rowsPerStrip}});
    entries.push_back({279, 4, counts});
    if (image.xResolution > 0 && image.yResolution > 0) {
        entries.push_back({282, 5, {static_cast<uint32_t>(image.xResolution), 1}});
        entries.push_back({283, 5, {static_cast<uint32_t>(image.yResolution), 1}});
    }
    entries.push_back({284, 3, {1}});
    entries.push_back({296, 3, {image.xResolution > 0 ? 2u : 1u}});
    if (photometric == Photometric::palette) {
        const int colours = 1 << image.bitsPerPixel;
        std::vector<uint32_t> map(static_cast<size_t>(colours) * 3);
        for (int i = 0; i < colours; ++i) {
            const uint8_t* entry = &image.palette[static_cast<size_t>(i) * 4];
            map[i] = entry[2] * 257u;
            map[colours + i] = entry[1] * 257u;
            map[2 * colours + i] = entry[0] * 257u;
        }
        entries.push_back({320, 3, map});
    }

    // Directory, then the values that do not fit in an entry.
    const uint32_t directory = static_cast<uint32_t>(sink.position());
    const uint32_t directoryBytes = 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
    std::vector<uint8_t> out, extra;
    put16(out, static_cast<uint16_t>(entries.size()));
    for (const TiffEntry& entry : entries) {
        const uint32_t unit = entry.type == 3 ? 2 : entry.type == 4 ? 4 : 8;
        const uint32_t count = entry.type == 5 ? static_cast<uint32_t>(entry.values.size() / 2)
                                               : static_cast<uint32_t>(entry.values.size());
        put16(out, entry.tag);
        put16(out, entry.type);
        put32(out, count);
        std::vector<uint8_t> value;
        for (uint32_t v : entry.values)
            entry.type == 3 ? put16(value, v) : put32(value, v);
        if (unit * count <= 4) {
            value.resize(4, 0);
            out.insert(out.end(), value.begin(), value.end());
        } else {
            put32(out, directory + directoryBytes + static_cast<uint32_t>(extra.size()));
            extra.insert(extra.end(), value.begin(), value.end());
            if (extra.size() & 1)
                extra.push_back(0);
        }
    }
    put32(out, 0);
    out.insert(out.end(), extra.begin(), extra.end());
    if (sink.position() + out.size() > 0xffffffffu)
        return 0;
    sink.write(out.data(), out.size());
    return directory;
}

int writeTiff(const Image& image, ByteSink& sink, bool page)
{
    const uint8_t header[8] = {'I', 'I', 42, 0, 0, 0, 0, 0};
    sink.write(header, sizeof header);
    const uint32_t directory = writeTiffPage(image, sink, page);
    if (directory == 0)
        return IMAGING_FILE_WRITE_FAILED;
    uint8_t pointer[4] = {static_cast<uint8_t>(directory), static_cast<uint8_t>(directory >> 8),
                          static_cast<uint8_t>(directory >> 16), static_cast<uint8_t>(directory >> 24)};
    sink.patch(4, pointer, 4);
    return sink.ok() ? IMAGING_SUCCESS : IMAGING_FILE_WRITE_FAILED;
}

// Packed top-down rows for the stb encoders: grey (1 channel) or RGB.
std::vector<uint8_t> encoderRows(const Image& image, int& channels)
{
    const bool grey = image.bitsPerPixel == 1 ? photometricFor(image) != Photometric::palette : hasGreyRamp(image);
    channels = image.bitsPerPixel == 24 || !grey ? 3 : 1;
    const size_t width = static_cast<size_t>(image.width);
    std::vector<uint8_t> rows(width * image.height * channels);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* source = image.rowFromTop(y);
        uint8_t* target = rows.data() + static_cast<size_t>(y) * width * channels;
        for (size_t x = 0; x < width; ++x) {
            const uint8_t* bgr;
            if (image.bitsPerPixel == 24)
                bgr = source + x * 3;
            else if (image.bitsPerPixel == 8)
                bgr = &image.palette[static_cast<size_t>(source[x]) * 4];
            else
                bgr = &image.palette[(source[x >> 3] & (0x80 >> (x & 7)) ? 1 : 0) * 4];
            if (channels == 1) {
                target[x] = bgr[0];
            } else {
                target[x * 3] = bgr[2];
                target[x * 3 + 1] = bgr[1];
                target[x * 3 + 2] = bgr[0];
            }
        }
    }
    return rows;
}

int encodeTo(const Image& image, int format, int qualityFactor, bool page, ByteSink& sink)
{
    try {
        switch (format) {
        case IMAGING_FORMAT_BMP:
            writeBmp(image, sink);
            return sink.ok() ? IMAGING_SUCCESS : IMAGING_FILE_WRITE_FAILED;
        case IMAGING_FORMAT_TIFF:
            return writeTiff(image, sink, page);
        case IMAGING_FORMAT_JPEG:
        case IMAGING_FORMAT_PNG: {
            int channels = 0;
            std::vector<uint8_t> rows = encoderRows(image, channels);
            bool written = format == IMAGING_FORMAT_JPEG
                ? writeJpeg(sink, image.width, image.height, channels, rows.data(), jpegQualityForFactor(qualityFactor))
                : writePng(sink, image.width, image.height, channels, rows.data());
            return written ? IMAGING_SUCCESS : IMAGING_FILE_WRITE_FAILED;
        }
        default:
            return IMAGING_FORMAT_NOT_SUPPORTED;
        }
    } catch (const std::bad_alloc&) {
        return IMAGING_NO_MEMORY;
    }
}

bool supportedFormat(int format)
{
    return format == IMAGING_FORMAT_BMP || format == IMAGING_FORMAT_TIFF || format == IMAGING_FORMAT_JPEG ||
        format == IMAGING_FORMAT_PNG;
}

// The offset of the last directory's next-directory field of a little-endian
// TIFF file, or 0 when the file is not one.
uint32_t lastDirectoryLink(std::FILE* file, uint64_t fileSize)
{
    uint8_t header[8];
    if (fileSize < 8 || std::fread(header, 1, 8, file) != 8 || header[0] != 'I' || header[1] != 'I' ||
        get16(header + 2) != 42)
        return 0;
    uint32_t link = 4;
    uint32_t directory = get32(header + 4);
    for (int pages = 0; directory != 0; ++pages) {
        uint8_t count[2];
        if (pages > 65535 || directory + 2ull > fileSize || std::fseek(file, static_cast<long>(directory), SEEK_SET) != 0 ||
            std::fread(count, 1, 2, file) != 2)
            return 0;
        link = directory + 2 + 12u * get16(count);
        uint8_t next[4];
        if (link + 4ull > fileSize || std::fseek(file, static_cast<long>(link), SEEK_SET) != 0 ||
            std::fread(next, 1, 4, file) != 4)
            return 0;
        directory = get32(next);
    }
    return link;
}

int appendTiffPage(const char* path, const Image& image)
{
    std::FILE* file = std::fopen(path, "r+b");
    if (!file)
        return IMAGING_FILE_WRITE_FAILED;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    int result = IMAGING_INVALID_FILE;
    if (size == 0) {
        FileSink sink(file, 0);
        result = writeTiff(image, sink, true);
    } else if (size > 0) {
        std::fseek(file, 0, SEEK_SET);
        const uint32_t link = lastDirectoryLink(file, static_cast<uint64_t>(size));
        if (link != 0) {
            std::fseek(file, size, SEEK_SET);
            FileSink sink(file, static_cast<uint64_t>(size));
            if (size & 1)
                sink.write("", 1);
            const uint32_t directory = writeTiffPage(image, sink, true);
            uint8_t pointer[4] = {static_cast<uint8_t>(directory), static_cast<uint8_t>(directory >> 8),
                                  static_cast<uint8_t>(directory >> 16), static_cast<uint8_t>(directory >> 24)};
            if (directory != 0)
                sink.patch(link, pointer, 4);
            result = directory != 0 && sink.ok() ? IMAGING_SUCCESS : IMAGING_FILE_WRITE_FAILED;
        }
    }
    if (std::fclose(file) != 0 && result == IMAGING_SUCCESS)
        result = IMAGING_FILE_WRITE_FAILED;
    return result;
}

}

int jpegQualityForFactor(int qualityFactor)
{
    const int factor = qualityFactor < 2 ? 2 : qualityFactor > 255 ? 255 : qualityFactor;
    // 25 -> 92, 128 -> 60, 240 -> 25: the encoder's quality falls as the factor grows.
    return std::max(1, 100 - (factor * 80 + 127) / 255);
}

int encodeImage(const Image& image, int format, int qualityFactor, std::vector<uint8_t>& out)
{
    out.clear();
    MemorySink sink(out);
    return encodeTo(image, format, qualityFactor, false, sink);
}

int saveImageFile(const char* path, const Image& image, int format, int qualityFactor, bool appendPage)
{
    if (!path || !*path || image.width <= 0 || image.height <= 0)
        return IMAGING_INVALID_ARGUMENT;
    if (!supportedFormat(format))
        return IMAGING_FORMAT_NOT_SUPPORTED;
    if (appendPage && format == IMAGING_FORMAT_TIFF) {
        if (std::FILE* existing = std::fopen(path, "rb")) {
            std::fclose(existing);
            return appendTiffPage(path, image);
        }
    }
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return IMAGING_FILE_WRITE_FAILED;
    int result;
    {
        FileSink sink(file, 0);
        result = encodeTo(image, format, qualityFactor, appendPage && format == IMAGING_FORMAT_TIFF, sink);
    }
    if (std::fclose(file) != 0 && result == IMAGING_SUCCESS)
        result = IMAGING_FILE_WRITE_FAILED;
    if (result != IMAGING_SUCCESS)
        std::remove(path);
    return result;
}

namespace {

// Run-length coded rows (BI_RLE8, BI_RLE4) into 8-bit indices, bottom row
// first as stored. False on a broken stream; pixels it skips stay index 0.
bool decodeRunLength(const uint8_t* in, size_t size, int bits, Image& image)
{
    int x = 0, y = 0;
    size_t i = 0;
    auto put = [&](uint8_t index) {
        if (x < image.width && y < image.height)
            image.pixels[static_cast<size_t>(y) * image.stride() + x] = index;
        ++x;
    };
    while (i + 1 < size) {
        const uint8_t count = in[i], value = in[i + 1];
        i += 2;
        if (count > 0) {
            for (int n = 0; n < count; ++n)
                put(bits == 8 ? value : (n & 1 ? value & 0x0f : value >> 4));
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (i + 1 >= size)
                return false;
            x += in[i];
            y += in[i + 1];
            i += 2;
        } else {
            const size_t bytes = bits == 8 ? value : (value + 1u) / 2;
            if (i + bytes > size)
                return false;
            for (int n = 0; n < value; ++n)
                put(bits == 8 ? in[i + n] : (n & 1 ? in[i + n / 2] & 0x0f : in[i + n / 2] >> 4));
            i += (bytes + 1) & ~static_cast<size_t>(1);
        }
    }
    return true;
}

}

int decodeBmp(const uint8_t* data, size_t size, Image& image)
{
    if (!data || size < 14 + 40 || data[0] != 'B' || data[1] != 'M')
        return IMAGING_INVALID_FILE;
    const uint32_t pixelOffset = get32(data + 10);
    const uint8_t* dib = data + 14;
    const size_t dibSize = size - 14;
    const uint32_t headerSize = get32(dib);
    if (headerSize < 40 || headerSize > dibSize || pixelOffset < 14 + headerSize || pixelOffset > size)
        return IMAGING_INVALID_FILE;
    const int32_t width = static_cast<int32_t>(get32(dib + 4));
    const int32_t signedHeight = static_cast<int32_t>(get32(dib + 8));
    const int bits = get16(dib + 14);
    const uint32_t compression = get32(dib + 16);
    uint32_t colours = get32(dib + 32);
    if (width <= 0 || width > 65535 || signedHeight == 0 || signedHeight < -65535 || signedHeight > 65535)
        return IMAGING_INVALID_FILE;
    // Bit fields are taken only as the plain byte order they usually describe.
    const bool plainFields = compression == 3 && (bits == 32 || bits == 24) && headerSize >= 52 &&
        get32(dib + 40) == 0xff0000 && get32(dib + 44) == 0xff00 && get32(dib + 48) == 0xff;
    const bool runLength = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
    if (compression != 0 && !plainFields && !runLength)
        return IMAGING_FORMAT_NOT_SUPPORTED;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return IMAGING_FORMAT_NOT_SUPPORTED;

    try {
        Image result;
        result.width = width;
        result.height = signedHeight < 0 ? -signedHeight : signedHeight;
        result.bitsPerPixel = bits == 1 ? 1 : bits <= 8 ? 8 : 24;
        result.xResolution = static_cast<int32_t>(get32(dib + 24)) > 0 ? static_cast<int>(std::lround(static_cast<int32_t>(get32(dib + 24)) * 0.0254)) : 0;
        result.yResolution = static_cast<int32_t>(get32(dib + 28)) > 0 ? static_cast<int>(std::lround(static_cast<int32_t>(get32(dib + 28)) * 0.0254)) : 0;
        if (bits <= 8) {
            const uint32_t full = 1u << bits;
            if (colours == 0 || colours > full)
                colours = full;
            if (14 + headerSize + colours * 4ull > pixelOffset)
                return IMAGING_INVALID_FILE;
            std::memcpy(result.palette.data(), dib + headerSize, colours * 4);
            result.paletteSize = bits == 1 ? 2 : 256;
        }
        if (runLength) {
            // A run-length file's size does not bound its image; a picture
            // over a thousand times its coded bytes is refused, not allocated.
            if (static_cast<uint64_t>(width) * result.height / 1024 > size - pixelOffset)
                return IMAGING_INVALID_FILE;
            result.pixels.assign(result.stride() * result.height, 0);
            if (signedHeight < 0 || !decodeRunLength(data + pixelOffset, size - pixelOffset, bits, result))
                return IMAGING_INVALID_FILE;
            image = std::move(result);
            return IMAGING_SUCCESS;
        }
        const size_t sourceStride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
        if ((size - pixelOffset) / sourceStride < static_cast<size_t>(result.height))
            return IMAGING_INVALID_FILE;
        result.pixels.assign(result.stride() * result.height, 0);
        for (int y = 0; y < result.height; ++y) {
            const int sourceRow = signedHeight < 0 ? result.height - 1 - y : y;  // to bottom-up
            const uint8_t* source = data + pixelOffset + static_cast<size_t>(sourceRow) * sourceStride;
            uint8_t* target = result.pixels.data() + static_cast<size_t>(y) * result.stride();
            if (bits == 1 || bits == 8 || bits == 24) {
                std::memcpy(target, source, result.stride());
            } else if (bits == 4) {
                for (int x = 0; x < width; ++x)
                    target[x] = x & 1 ? source[x >> 1] & 0x0f : source[x >> 1] >> 4;
            } else {
                for (int x = 0; x < width; ++x)
                    std::memcpy(target + x * 3, source + x * 4, 3);
            }
        }
        image = std::move(result);
        return IMAGING_SUCCESS;
    } catch (const std::bad_alloc&) {
        return IMAGING_NO_MEMORY;
    }
}

int loadBmpFile(const char* path, Image& image)
{
    if (!path || !*path)
        return IMAGING_INVALID_ARGUMENT;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return IMAGING_FILE_READ_FAILED;
    std::vector<uint8_t> data;
    int result = IMAGING_FILE_READ_FAILED;
    try {
        uint8_t chunk[65536];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            data.insert(data.end(), chunk, chunk + got);
        if (!std::ferror(file))
            result = decodeBmp(data.data(), data.size(), image);
    } catch (const std::bad_alloc&) {
        result = IMAGING_NO_MEMORY;
    }
    std::fclose(file);
    return result;
}

}
