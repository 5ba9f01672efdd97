// make_discovery_fuzz_corpus FOLDER: the starting corpus of the discovery
// fuzz targets, written to FOLDER/<target>/: SNMP replies of the family and
// of others, browse datagrams and PTR answers.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/ReplyWriter.h"
#include "ReplyScan.h"

namespace {

using ByteVector = std::vector<uint8_t>;

bool writeCase(const std::filesystem::path& folder, const std::string& name, const ByteVector& bytes)
{
    std::filesystem::create_directories(folder);
    FILE* out = std::fopen((folder / name).string().c_str(), "wb");
    bool ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return out && std::fclose(out) == 0 && ok;
}

ByteVector browseDatagram(const std::string& name)
{
    ByteVector datagram(60, 0);
    std::string padded = name;
    padded.resize(16, ' ');
    for (size_t i = 0; i < 16; ++i) {
        const auto byte = static_cast<uint8_t>(padded[i]);
        datagram[15 + 2 * i] = static_cast<uint8_t>('A' + (byte >> 4));
        datagram[16 + 2 * i] = static_cast<uint8_t>('A' + (byte & 15));
    }
    return datagram;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_discovery_fuzz_corpus FOLDER\n");
        return 2;
    }
    using namespace testing_replies;
    const std::filesystem::path root = argv[1];
    const std::string model(kDiscoveryModel);
    bool ok = true;
    const auto snmp = root / "snmp_reply_fuzzer";
    ok &= writeCase(snmp, "family", SysDescrResponse(model + " Series"));
    ok &= writeCase(snmp, "family-long-descr", SysDescrResponse(model + std::string(100, 'x')));
    ok &= writeCase(snmp, "family-embedded-zero", SysDescrResponse(model + std::string(1, '\0') + "tail"));
    ok &= writeCase(snmp, "other-device", SysDescrResponse("Some Other Printer 1000"));
    ok &= writeCase(snmp, "other-community", SysDescrResponse(model, "public"));
    const auto browse = root / "browse_name_fuzzer";
    ok &= writeCase(browse, "unit-name", browseDatagram("PRN-NB"));
    ok &= writeCase(browse, "sixteen-characters", browseDatagram("ABCDEFGHIJKLMNOP"));
    ok &= writeCase(browse, "too-short", ByteVector(46, 'A'));
    const auto ptr = root / "host_label_fuzzer";
    for (const char* answer : {"prn-lab.example.test", "nodot", ".leading", "a.b.c.d"}) {
        std::string text = std::string("\x0a\x4d\x01\x19", 4) + answer;
        ok &= writeCase(ptr, std::string("answer-") + (answer[0] == '.' ? "leading-dot" : answer), ByteVector(text.begin(), text.end()));
    }
    if (!ok) {
        std::fprintf(stderr, "cannot write the corpus under %s\n", argv[1]);
        return 1;
    }
    return 0;
}
