#include "EmulatorConfig.h"

#include "PageImage.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace {

std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    size_t e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool parseNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

bool parseInteger(const std::string& text, long long& value)
{
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 0);
    return !text.empty() && end && *end == '\0';
}

bool isAbsolute(const std::string& path)
{
    return !path.empty() && (path[0] == '/' || path[0] == '\\' || (path.size() > 1 && path[1] == ':'));
}

bool applyFeeder(const std::string& value, EmulatorConfig& c)
{
    static const std::pair<const char*, int> states[] = {
        {"empty", 0}, {"loaded", 1}, {"absent", 2}, {"unit-open", 3}, {"cover-open", 5}};
    for (auto& [name, detail] : states) {
        if (value == name) {
            c.feederDetail = detail;
            return true;
        }
    }
    return false;
}

// Takes a trailing "once" off the value.
std::string withoutOnce(const std::string& value, bool& once)
{
    const std::string suffix = " once";
    once = value.size() > suffix.size() && value.compare(value.size() - suffix.size(), suffix.size(), suffix) == 0;
    return once ? trim(value.substr(0, value.size() - suffix.size())) : value;
}

bool applyBlockFault(const std::string& value, const char* prefix, int& block, bool& once)
{
    std::istringstream in(withoutOnce(value, once));
    std::string word;
    long long n = 0;
    std::string number, extra;
    if (!(in >> word) || word != prefix || !(in >> number) || !parseInteger(number, n) || n < 0 || (in >> extra))
        return false;
    block = static_cast<int>(n);
    return true;
}

bool applyByteFault(const std::string& value, int64_t& byte, bool& once)
{
    long long n = 0;
    if (!parseInteger(withoutOnce(value, once), n) || n < 0)
        return false;
    byte = n;
    return true;
}

// "<number> at <byte count>"
bool applyAt(const std::string& value, double& amount, int64_t& byte)
{
    std::istringstream in(value);
    std::string number, at, count, extra;
    long long n = 0;
    if (!(in >> number >> at >> count) || at != "at" || (in >> extra) || !parseNumber(number, amount) ||
        amount < 0 || !parseInteger(count, n) || n < 0)
        return false;
    byte = n;
    return true;
}

// Stores value in field when it is valid; says whether it was.
template <typename Field, typename Value>
bool storeIf(bool valid, Field& field, Value value)
{
    if (valid)
        field = static_cast<Field>(value);
    return valid;
}

bool applyNotLocked(const std::string& value, EmulatorConfig& c)
{
    std::istringstream in(value);
    std::string detail, duration;
    in >> detail >> duration;
    long long n = 0;
    double seconds = 0;
    if (!parseInteger(detail, n) || n < 0 || n > 255)
        return false;
    if (!duration.empty() && (!parseNumber(duration, seconds) || seconds < 0))
        return false;
    c.notLockedDetail = static_cast<int>(n);
    c.notLockedSeconds = seconds;
    return true;
}

bool applyLineOffsets(const std::string& value, EmulatorConfig& c)
{
    std::istringstream in(value);
    uint8_t offsets[6];
    for (uint8_t& offset : offsets) {
        std::string word;
        long long n = 0;
        if (!(in >> word) || !parseInteger(word, n) || n < 0 || n > 255)
            return false;
        offset = static_cast<uint8_t>(n);
    }
    std::string extra;
    if (in >> extra)
        return false;
    std::copy(offsets, offsets + 6, c.lineOffsets);
    return true;
}

bool apply(const std::string& key, const std::string& value, const std::string& baseDir, EmulatorConfig& c)
{
    // Parsed up front: a call's arguments are evaluated in no fixed order.
    long long n = 0;
    double seconds = 0;
    bool isInteger = parseInteger(value, n);
    bool isNumber = parseNumber(value, seconds);
    if (key == "page") {
        c.pagePath = isAbsolute(value) || baseDir.empty() ? value : baseDir + "/" + value;
        return true;
    }
    if (key == "device-index")
        return storeIf(isInteger && n >= 0 && n < 1000, c.deviceIndex, n);
    if (key == "vendor-id")
        return storeIf(isInteger && n > 0 && n <= 0xFFFF, c.vendorId, n);
    if (key == "product-id")
        return storeIf(isInteger && n > 0 && n <= 0xFFFF, c.productId, n);
    if (key == "feeder")
        return applyFeeder(value, c);
    if (key == "feeder-pages")
        return storeIf(isInteger && n >= 0 && n <= 1000000, c.feederPages, n);
    if (key == "cover")
        return storeIf(value == "open" || value == "closed", c.scanCoverOpen, value == "open");
    if (key == "warming")
        return storeIf(isNumber && seconds >= 0, c.warmingSeconds, seconds);
    if (key == "not-locked")
        return applyNotLocked(value, c);
    if (key == "jam") {
        if (withoutOnce(value, c.jamOnce) == "lock") {
            c.jamAtLock = true;
            return true;
        }
        return applyBlockFault(value, "block", c.jamAtBlock, c.jamOnce);
    }
    if (key == "garbage-header")
        return applyBlockFault(value, "block", c.garbageHeaderAtBlock, c.garbageHeaderOnce);
    if (key == "overlong-payload")
        return applyBlockFault(value, "block", c.overlongPayloadAtBlock, c.overlongPayloadOnce);
    if (key == "disconnect-at")
        return applyByteFault(value, c.disconnectAtByte, c.disconnectOnce);
    if (key == "timeout-at")
        return applyByteFault(value, c.timeoutAtByte, c.timeoutOnce);
    if (key == "stall")
        return applyAt(value, c.stallSeconds, c.stallAtByte);
    if (key == "empty-reads") {
        double count = 0;
        if (!applyAt(value, count, c.emptyReadsAtByte) || count != static_cast<int>(count) || count > 1e9)
            return false;
        c.emptyReads = static_cast<int>(count);
        return true;
    }
    if (key == "leftover")
        return storeIf(isInteger && n >= 0 && n <= (1 << 20), c.leftoverBytes, n);
    if (key == "predictor")
        return storeIf(isInteger && n >= 0 && n <= 9, c.predictor, n);
    if (key == "line-offsets")
        return applyLineOffsets(value, c);
    if (key == "padding")
        return storeIf(isInteger && n >= 0 && n <= 65535, c.paddingBytes, n);
    if (key == "block-size")
        return storeIf(isInteger && n >= 1 && n <= 65535, c.blockSize, n);
    return false;
}

std::string directoryOf(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

bool parseEmulatorConfig(const std::string& text, const std::string& baseDir, EmulatorConfig& config,
                         std::string& error)
{
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        line = trim(line);
        if (line.empty())
            continue;
        size_t equals = line.find('=');
        std::string key = equals == std::string::npos ? line : trim(line.substr(0, equals));
        std::string value = equals == std::string::npos ? std::string() : trim(line.substr(equals + 1));
        if (equals == std::string::npos || !apply(key, value, baseDir, config)) {
            error = "line " + std::to_string(lineNumber) + ": cannot use \"" + line + "\"";
            return false;
        }
    }
    if (config.pagePath.empty()) {
        error = "no page given";
        return false;
    }
    return true;
}

bool loadEmulatorSetting(const std::string& path, EmulatorConfig& config, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (looksLikePageImage(bytes)) {
        config = EmulatorConfig{};
        config.pagePath = path;
        return true;
    }
    return parseEmulatorConfig(std::string(bytes.begin(), bytes.end()), directoryOf(path), config, error);
}
