// make_fuzz_corpus FOLDER: writes the starting corpus, small valid streams of
// every predictor, with and without line offsets, grey and colour.
#include <cstdio>
#include <string>

#include "DecoderFuzzHarness.h"
#include "StreamEncoder.h"
#include "TestImages.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_corpus FOLDER\n");
        return 2;
    }
    using namespace scancodec;
    int written = 0;
    for (int predictor = 0; predictor <= kHighestPredictor; ++predictor) {
        for (int channels : {1, 3}) {
            int width = 3 + predictor * 4 + channels;
            int height = 2 + predictor % 5;
            std::vector<uint8_t> image = predictor % 3 == 2 ? makeNoiseImage(width, height, channels, predictor)
                                                            : makeTestPage(width, height, channels, predictor);
            EncoderSettings settings;
            settings.predictor = predictor;
            settings.withHeader = predictor != 0 || channels == 3;
            if (predictor % 2 == 1)
                for (int i = 0; i < kLineOffsetCount; ++i)
                    settings.offsets[i] = static_cast<uint8_t>((i * 3 + predictor) % 4);
            std::vector<uint8_t> stream;
            if (encodeStream(image.data(), width, height, channels, settings, stream) != EncodeDone)
                return 1;
            std::vector<uint8_t> data = fuzzCaseFor(width, height, channels, static_cast<uint8_t>(predictor * 11),
                                                    static_cast<uint8_t>(predictor * 29 + channels), stream);
            std::string name = std::string(argv[1]) + "/predictor" + std::to_string(predictor)
                               + (channels == 3 ? "-colour" : "-grey") + (settings.withHeader ? "" : "-plain");
            FILE* out = std::fopen(name.c_str(), "wb");
            if (!out || std::fwrite(data.data(), 1, data.size(), out) != data.size() || std::fclose(out) != 0) {
                std::fprintf(stderr, "cannot write %s\n", name.c_str());
                return 1;
            }
            ++written;
        }
    }
    std::printf("%d corpus files\n", written);
    return 0;
}
