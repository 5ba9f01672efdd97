#include "ImageFileCommand.h"

#include "ImageCore.h"
#include "ImageFiles.h"
#include "ImagingInterface.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace imagefile {
namespace {

const char Usage[] =
    "usage: imagefile save --format bmp|tiff|tiff-multi|jpeg|png [--quality low|medium|high] IN.bmp OUT\n"
    "       imagefile resize --width W --height H IN.bmp OUT.bmp\n"
    "       imagefile info FILE\n";

const char* resultText(int result)
{
    switch (result) {
    case IMAGING_NO_MEMORY:
        return "out of memory";
    case IMAGING_INVALID_ARGUMENT:
        return "invalid image";
    case IMAGING_FILE_WRITE_FAILED:
        return "cannot write the file";
    case IMAGING_FILE_READ_FAILED:
        return "cannot read the file";
    case IMAGING_INVALID_FILE:
        return "not a file of that format";
    case IMAGING_FORMAT_NOT_SUPPORTED:
        return "format not supported";
    default:
        return "failed";
    }
}

struct Arguments {
    std::vector<std::string> positional;
    std::string format, quality;
    long width = 0, height = 0;
    bool ok = true;
};

bool positiveNumber(const char* text, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return *text && *end == '\0' && value > 0 && value <= 65535;
}

Arguments parse(int argc, const char* const* argv, FILE* errors)
{
    Arguments arguments;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--format" && hasValue) {
            arguments.format = argv[++i];
        } else if (option == "--quality" && hasValue) {
            arguments.quality = argv[++i];
        } else if ((option == "--width" || option == "--height") && hasValue) {
            long& value = option == "--width" ? arguments.width : arguments.height;
            if (!positiveNumber(argv[++i], value)) {
                std::fprintf(errors, "imagefile: %s needs a number from 1 to 65535\n", option.c_str());
                arguments.ok = false;
            }
        } else if (option.size() > 1 && option[0] == '-') {
            std::fprintf(errors, "imagefile: unknown option %s\n", option.c_str());
            arguments.ok = false;
        } else {
            arguments.positional.push_back(option);
        }
    }
    return arguments;
}

bool loadInput(const std::string& path, imaging::Image& image, FILE* errors)
{
    const int result = imaging::loadBmpFile(path.c_str(), image);
    if (result != IMAGING_SUCCESS)
        std::fprintf(errors, "imagefile: %s: %s\n", path.c_str(), resultText(result));
    return result == IMAGING_SUCCESS;
}

int save(const Arguments& arguments, FILE* errors)
{
    struct Format {
        const char* name;
        int code;
        bool append;
    } const formats[] = {{"bmp", IMAGING_FORMAT_BMP, false},   {"tiff", IMAGING_FORMAT_TIFF, false},
                         {"tiff-multi", IMAGING_FORMAT_TIFF, true}, {"jpeg", IMAGING_FORMAT_JPEG, false},
                         {"png", IMAGING_FORMAT_PNG, false}};
    const Format* format = nullptr;
    for (const Format& candidate : formats)
        if (arguments.format == candidate.name)
            format = &candidate;
    int factor = IMAGING_JPEG_FACTOR_MEDIUM_QUALITY;
    if (arguments.quality == "low")
        factor = IMAGING_JPEG_FACTOR_LOW_QUALITY;
    else if (arguments.quality == "high")
        factor = IMAGING_JPEG_FACTOR_HIGH_QUALITY;
    else if (!arguments.quality.empty() && arguments.quality != "medium")
        format = nullptr;
    if (!format || arguments.positional.size() != 2) {
        std::fputs(Usage, errors);
        return ExitUsageError;
    }
    imaging::Image image;
    if (!loadInput(arguments.positional[0], image, errors))
        return ExitFileError;
    const std::string& out = arguments.positional[1];
    const int result = imaging::saveImageFile(out.c_str(), image, format->code, factor, format->append);
    if (result != IMAGING_SUCCESS) {
        std::fprintf(errors, "imagefile: %s: %s\n", out.c_str(), resultText(result));
        return ExitFileError;
    }
    return ExitDone;
}

int resize(const Arguments& arguments, FILE* errors)
{
    if (arguments.width == 0 || arguments.height == 0 || arguments.positional.size() != 2) {
        std::fputs(Usage, errors);
        return ExitUsageError;
    }
    imaging::Image image;
    if (!loadInput(arguments.positional[0], image, errors))
        return ExitFileError;
    int result = imaging::resizeImage(image, static_cast<int>(arguments.width), static_cast<int>(arguments.height));
    if (result == IMAGING_SUCCESS)
        result = imaging::saveImageFile(arguments.positional[1].c_str(), image, IMAGING_FORMAT_BMP, 0, false);
    if (result != IMAGING_SUCCESS) {
        std::fprintf(errors, "imagefile: %s\n", resultText(result));
        return ExitFileError;
    }
    return ExitDone;
}

uint32_t get32(const uint8_t* p, bool big)
{
    return big ? static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]
               : p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t get16(const uint8_t* p, bool big) { return static_cast<uint16_t>(big ? p[0] << 8 | p[1] : p[0] | p[1] << 8); }

// One line per TIFF page: width, height, bits per sample, samples.
bool describeTiff(const std::vector<uint8_t>& data, FILE* output)
{
    const bool big = data[0] == 'M';
    uint32_t directory = get32(&data[4], big);
    int page = 0;
    while (directory != 0 && page < 10000) {
        if (directory + 2ull > data.size())
            return false;
        const uint16_t count = get16(&data[directory], big);
        if (directory + 2ull + 12ull * count + 4 > data.size())
            return false;
        uint32_t width = 0, height = 0, bits = 1, samples = 1, compression = 1;
        for (uint16_t i = 0; i < count; ++i) {
            const uint8_t* entry = &data[directory + 2 + 12 * i];
            const uint16_t tag = get16(entry, big), type = get16(entry + 2, big);
            const uint32_t value = type == 3 ? get16(entry + 8, big) : get32(entry + 8, big);
            const uint32_t values = get32(entry + 4, big);
            if (tag == 256)
                width = value;
            else if (tag == 257)
                height = value;
            else if (tag == 258)
                bits = values == 1 ? value : 8;
            else if (tag == 277)
                samples = value;
            else if (tag == 259)
                compression = value;
        }
        std::fprintf(output, "TIFF page %d: %u x %u, %u bits per pixel, compression %u\n", ++page, width, height,
                     bits * samples, compression);
        directory = get32(&data[directory + 2 + 12 * count], big);
    }
    std::fprintf(output, "%d page(s)\n", page);
    return page > 0;
}

bool describePng(const std::vector<uint8_t>& data, FILE* output)
{
    if (data.size() < 29 || std::memcmp(&data[12], "IHDR", 4) != 0)
        return false;
    std::fprintf(output, "PNG %u x %u, %u bits per sample, colour type %u\n", get32(&data[16], true),
                 get32(&data[20], true), data[24], data[25]);
    return true;
}

bool describeJpeg(const std::vector<uint8_t>& data, FILE* output)
{
    size_t at = 2;
    while (at + 9 < data.size() && data[at] == 0xff) {
        const uint8_t marker = data[at + 1];
        const uint16_t length = get16(&data[at + 2], true);
        if (marker >= 0xc0 && marker <= 0xc3) {
            std::fprintf(output, "JPEG %u x %u, %u component(s)\n", get16(&data[at + 7], true),
                         get16(&data[at + 5], true), data[at + 9]);
            return true;
        }
        at += 2 + length;
    }
    return false;
}

int info(const Arguments& arguments, FILE* output, FILE* errors)
{
    if (arguments.positional.size() != 1) {
        std::fputs(Usage, errors);
        return ExitUsageError;
    }
    const std::string& path = arguments.positional[0];
    std::vector<uint8_t> data;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[65536];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            data.insert(data.end(), chunk, chunk + got);
        std::fclose(file);
    } else {
        std::fprintf(errors, "imagefile: %s: cannot read the file\n", path.c_str());
        return ExitFileError;
    }
    bool described = false;
    if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
        imaging::Image image;
        const int result = imaging::decodeBmp(data.data(), data.size(), image);
        if (result != IMAGING_SUCCESS) {
            std::fprintf(errors, "imagefile: %s: %s\n", path.c_str(), resultText(result));
            return ExitFileError;
        }
        std::fprintf(output, "BMP %d x %d, %d bits per pixel, %d x %d dpi\n", image.width, image.height,
                     image.bitsPerPixel, image.xResolution, image.yResolution);
        described = true;
    } else if (data.size() >= 8 && (std::memcmp(data.data(), "II*\0", 4) == 0 || std::memcmp(data.data(), "MM\0*", 4) == 0)) {
        described = describeTiff(data, output);
    } else if (data.size() >= 8 && std::memcmp(data.data(), "\x89PNG", 4) == 0) {
        described = describePng(data, output);
    } else if (data.size() >= 4 && data[0] == 0xff && data[1] == 0xd8) {
        described = describeJpeg(data, output);
    }
    if (!described) {
        std::fprintf(errors, "imagefile: %s: not a BMP, TIFF, PNG or JPEG file this tool can read\n", path.c_str());
        return ExitFileError;
    }
    return ExitDone;
}

}

int runImageFile(int argc, const char* const* argv, FILE* output, FILE* errors)
{
    if (argc < 2) {
        std::fputs(Usage, errors);
        return ExitUsageError;
    }
    const Arguments arguments = parse(argc, argv, errors);
    if (!arguments.ok)
        return ExitUsageError;
    const std::string command = argv[1];
    if (command == "save")
        return save(arguments, errors);
    if (command == "resize")
        return resize(arguments, errors);
    if (command == "info")
        return info(arguments, output, errors);
    std::fputs(Usage, errors);
    return ExitUsageError;
}

}
