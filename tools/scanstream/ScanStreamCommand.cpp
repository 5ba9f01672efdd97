#include "ScanStreamCommand.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Netpbm.h"
#include "StreamDecoder.h"
#include "StreamEncoder.h"

namespace scanstream {
namespace {

const char kUsage[] =
    "usage: scanstream decode --width W --height H --channels 1|3 IN OUT\n"
    "       scanstream encode --predictor 0-9 [--offsets re,ro,ge,go,be,bo | --offsets none] IN OUT\n"
    "decode: IN holds the data blocks of one scan, concatenated (the 1024-byte stream header first,\n"
    "        if any); OUT gets a binary PGM (1 channel) or PPM (3 channels) of the decoder's output.\n"
    "encode: IN is a binary PGM or PPM of the decoder's output; OUT gets a stream with a header\n"
    "        (line offsets 0 unless given), or without one for --offsets none (predictor 0 only).\n";

class Reporter {
public:
    explicit Reporter(FILE* errors) : errors_(errors) {}
    int usage(const std::string& message) const
    {
        std::fprintf(errors_, "scanstream: %s\n%s", message.c_str(), kUsage);
        return ExitUsageError;
    }
    int data(const std::string& message) const
    {
        std::fprintf(errors_, "scanstream: %s\n", message.c_str());
        return ExitDataError;
    }

private:
    FILE* errors_;
};

bool parseInteger(const char* text, long low, long high, int* value)
{
    if (!text || !*text)
        return false;
    errno = 0;
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    *value = static_cast<int>(parsed);
    return true;
}

bool parseOffsets(const std::string& text, uint8_t offsets[scancodec::kLineOffsetCount])
{
    size_t start = 0;
    for (int i = 0; i < scancodec::kLineOffsetCount; ++i) {
        size_t comma = text.find(',', start);
        bool last = i == scancodec::kLineOffsetCount - 1;
        if (last != (comma == std::string::npos))
            return false;
        std::string field = text.substr(start, last ? std::string::npos : comma - start);
        int value = 0;
        if (!parseInteger(field.c_str(), 0, 255, &value))
            return false;
        offsets[i] = static_cast<uint8_t>(value);
        start = comma + 1;
    }
    return true;
}

bool readFile(const char* path, std::vector<uint8_t>* contents, std::string* error)
{
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        *error = std::string("cannot open ") + path + ": " + std::strerror(errno);
        return false;
    }
    contents->clear();
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        contents->insert(contents->end(), chunk, chunk + got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        *error = std::string("cannot read ") + path;
    return !failed;
}

bool writeFile(const char* path, const std::string& header, const std::vector<uint8_t>& body, std::string* error)
{
    FILE* file = std::fopen(path, "wb");
    if (!file) {
        *error = std::string("cannot create ") + path + ": " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size()
                   && std::fwrite(body.data(), 1, body.size(), file) == body.size();
    if (std::fclose(file) != 0 || !written) {
        *error = std::string("cannot write ") + path;
        std::remove(path);
        return false;
    }
    return true;
}

struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;
    std::string problem;

    const std::string* option(const char* name) const
    {
        for (const auto& entry : options)
            if (entry.first == name)
                return &entry.second;
        return nullptr;
    }
};

Arguments splitArguments(int argc, const char* const* argv, const std::vector<std::string>& known)
{
    Arguments arguments;
    for (int i = 2; i < argc; ++i) {
        std::string word = argv[i];
        if (word.rfind("--", 0) != 0 || word.size() == 2) {
            arguments.positional.push_back(word);
            continue;
        }
        bool isKnown = false;
        for (const std::string& name : known)
            isKnown = isKnown || name == word;
        if (!isKnown) {
            arguments.problem = "unknown option " + word;
        } else if (i + 1 >= argc) {
            arguments.problem = "option " + word + " needs a value";
        } else if (arguments.option(word.c_str())) {
            arguments.problem = "option " + word + " given twice";
        } else {
            arguments.options.emplace_back(word, argv[++i]);
            continue;
        }
        break;
    }
    if (arguments.problem.empty() && arguments.positional.size() != 2)
        arguments.problem = "expected an input and an output file";
    return arguments;
}

int decodeCommand(int argc, const char* const* argv, const Reporter& report)
{
    Arguments arguments = splitArguments(argc, argv, {"--width", "--height", "--channels"});
    if (!arguments.problem.empty())
        return report.usage(arguments.problem);
    int width = 0, height = 0, channels = 0;
    const std::string* text = arguments.option("--width");
    if (!text || !parseInteger(text->c_str(), 1, scancodec::kMaxRowWidth, &width))
        return report.usage("--width must be 1 to " + std::to_string(scancodec::kMaxRowWidth));
    text = arguments.option("--height");
    if (!text || !parseInteger(text->c_str(), 1, INT_MAX, &height))
        return report.usage("--height must be a positive number");
    text = arguments.option("--channels");
    if (!text || !parseInteger(text->c_str(), 1, 3, &channels) || channels == 2)
        return report.usage("--channels must be 1 or 3");
    const char* inPath = arguments.positional[0].c_str();
    const char* outPath = arguments.positional[1].c_str();

    std::vector<uint8_t> stream;
    std::string error;
    if (!readFile(inPath, &stream, &error))
        return report.data(error);
    if (stream.empty())
        return report.data(std::string(inPath) + " is empty");
    if (stream.size() > static_cast<size_t>(INT_MAX))
        return report.data(std::string(inPath) + " is too large");
    size_t rowSize = static_cast<size_t>(width) * static_cast<size_t>(channels);

    scancodec::StreamDecoder decoder;
    if (decoder.start(width, height, channels, 8) != scancodec::DecoderStarted)
        return report.data("cannot allocate the decoder's row buffers");
    const int size = static_cast<int>(stream.size());
    std::vector<uint8_t> image, row(rowSize);
    int taken = 0, rows = 0, result = scancodec::DecodeMoreRows;
    while (result == scancodec::DecodeMoreRows) {
        int consumed = 0, produced = 0;
        result = decoder.decodeBlock(stream.data(), size, size - taken, &consumed, row.data(),
                                     static_cast<int>(rowSize), &produced);
        taken += consumed;
        if (produced > 0) {
            image.insert(image.end(), row.begin(), row.begin() + produced);
            ++rows;
        }
    }
    decoder.finish();
    std::string progress = std::to_string(rows) + " of " + std::to_string(height) + " rows";
    switch (result) {
    case scancodec::DecodeLastRow: break;
    case scancodec::DecodeNeedsInput: return report.data(std::string(inPath) + " ends early (after " + progress + ")");
    case scancodec::DecodeCorruptData: return report.data("corrupt data in " + std::string(inPath) + " after " + progress);
    case scancodec::DecodeOutOfMemory: return report.data("not enough memory for the line offsets of the stream header");
    default: return report.data("decoder failed with result " + std::to_string(result));
    }
    if (!writeFile(outPath, netpbmHeader(width, height, channels), image, &error))
        return report.data(error);
    return ExitDone;
}

int encodeCommand(int argc, const char* const* argv, const Reporter& report)
{
    Arguments arguments = splitArguments(argc, argv, {"--predictor", "--offsets"});
    if (!arguments.problem.empty())
        return report.usage(arguments.problem);
    scancodec::EncoderSettings settings;
    const std::string* text = arguments.option("--predictor");
    if (!text || !parseInteger(text->c_str(), 0, scancodec::kHighestPredictor, &settings.predictor))
        return report.usage("--predictor must be 0 to 9");
    text = arguments.option("--offsets");
    settings.withHeader = !text || *text != "none";
    if (text && settings.withHeader && !parseOffsets(*text, settings.offsets))
        return report.usage("--offsets must be six numbers 0 to 255 separated by commas, or none");
    if (!settings.withHeader && settings.predictor != 0)
        return report.usage("a stream without a header can only use predictor 0");
    const char* inPath = arguments.positional[0].c_str();
    const char* outPath = arguments.positional[1].c_str();

    std::vector<uint8_t> file;
    std::string error;
    if (!readFile(inPath, &file, &error))
        return report.data(error);
    NetpbmImage image;
    if (!parseNetpbm(file, &image, &error))
        return report.data(std::string(inPath) + ": " + error);
    if (image.width > scancodec::kMaxRowWidth)
        return report.data(std::string(inPath) + ": wider than " + std::to_string(scancodec::kMaxRowWidth)
                           + " pixels");
    std::vector<uint8_t> stream;
    if (scancodec::encodeStream(image.pixels.data(), image.width, image.height, image.channels, settings, stream)
        != scancodec::EncodeDone)
        return report.data("cannot encode " + std::string(inPath));
    if (!writeFile(outPath, std::string(), stream, &error))
        return report.data(error);
    return ExitDone;
}

}  // namespace

int runScanStream(int argc, const char* const* argv, FILE* errors)
{
    Reporter report(errors);
    if (argc < 2)
        return report.usage("no command");
    std::string command = argv[1];
    if (command == "decode")
        return decodeCommand(argc, argv, report);
    if (command == "encode")
        return encodeCommand(argc, argv, report);
    return report.usage("unknown command " + command);
}

}  // namespace scanstream
