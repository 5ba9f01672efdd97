#pragma once
// How the device code tells the user and the diagnostic trace: the source's
// message boxes and trace in the library, recording fakes in the tests.
#include <cstdint>
#include <string>

class DeviceNotices {
public:
    virtual ~DeviceNotices() = default;
    virtual void trace(const char* text) = 0;
    // The localised text of stringId: to the trace, and in a warning box
    // when show is set.
    virtual void showWarning(unsigned stringId, bool show) = 0;
    // The localised text of stringId used as a format for value, traced only.
    virtual void traceWarningValue(unsigned stringId, int value) = 0;
    // The system's text for an error code.
    virtual std::string systemErrorText(uint32_t errorCode) = 0;
};
