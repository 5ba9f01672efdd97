#pragma once
// Recording stand-ins for the entry layer's trace and message boxes.
#include <string>
#include <vector>

struct ShownWarning {
    unsigned stringId;
    bool shown;
};

std::vector<ShownWarning>& recordedWarnings();
std::vector<std::string>& recordedTraces();
