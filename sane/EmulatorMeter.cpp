#include "EmulatorMeter.h"

#include "Debug.h"

#include <ctime>

double threadProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

EmulatorMeter::~EmulatorMeter()
{
    debugMessage(2, "emulator: %.3f s of processor time loading the page and coding scans", seconds_);
}

bool EmulatorMeter::write(DeviceHandle handle, const uint8_t* src, uint32_t size, uint32_t* written)
{
    double begin = threadProcessorSeconds();
    bool ok = emulator_->write(handle, src, size, written);
    seconds_ += threadProcessorSeconds() - begin;
    return ok;
}
