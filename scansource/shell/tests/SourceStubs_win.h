#pragma once
// Stand-ins for the entry layer: recorded trace and message boxes, and
// localisation that leaves the templates' texts alone.
#include <string>
#include <vector>

struct ShownWarning {
    unsigned stringId;
    bool shown;
};

std::vector<ShownWarning>& recordedWarnings();
std::vector<std::string>& recordedTraces();
