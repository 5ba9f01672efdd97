#include "ReplyScan.h"

#include <cstring>

namespace {

constexpr std::uint8_t kOctetStringTag = 0x04;

std::string TextUpToZero(const std::uint8_t* bytes, int count)
{
    const void* zero = std::memchr(bytes, 0, static_cast<std::size_t>(count));
    const auto length = zero ? static_cast<const std::uint8_t*>(zero) - bytes : count;
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
}

// Calls found(text) for each match in order; stops when it returns false.
template <typename Found>
void ScanForModel(const PacketRecord& reply, std::string_view model, Found&& found)
{
    const int modelLength = static_cast<int>(model.size());
    int length = reply.length;
    if (length > PacketRecord::kCapacity) {
        length = PacketRecord::kCapacity;
    }
    if (modelLength == 0) {
        return;
    }
    const std::uint8_t* data = reply.data;
    int t = 0;
    while (t < length - modelLength) {
        if (data[t] != kOctetStringTag) {
            ++t;
            continue;
        }
        // A long-form length (0x81 and up) reads as negative and never qualifies.
        const int contentLength = static_cast<std::int8_t>(data[t + 1]);
        const bool insideReply = modelLength <= contentLength && contentLength < length - (t + 1);
        if (insideReply && std::memcmp(data + t + 2, model.data(), model.size()) == 0 &&
            !found(TextUpToZero(data + t + 2, contentLength))) {
            return;
        }
        t += 2;
    }
}

}  // namespace

std::vector<std::string> FindModelTexts(const PacketRecord& reply, std::string_view model)
{
    std::vector<std::string> texts;
    ScanForModel(reply, model, [&texts](std::string text) {
        texts.push_back(std::move(text));
        return true;
    });
    return texts;
}

bool FindFirstModelText(const PacketRecord& reply, std::string_view model, std::string& modelText)
{
    bool found = false;
    ScanForModel(reply, model, [&](std::string text) {
        modelText = std::move(text);
        found = true;
        return false;
    });
    return found;
}
