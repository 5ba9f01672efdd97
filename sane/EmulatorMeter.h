#pragma once
// The emulator's device files with its own processor time counted: loading
// the page, and the commands (the start command codes the whole scan). A
// benchmark of the backend under a front end takes this share out, leaving
// the backend's own. Reading the coded blocks back is not counted: that is
// the transport's work with any device.
#include "DeviceFiles.h"

#include <memory>

// Processor seconds of the calling thread.
double threadProcessorSeconds();

class EmulatorMeter : public DeviceFiles {
public:
    EmulatorMeter(std::unique_ptr<DeviceFiles> emulator, double loadSeconds)
        : emulator_(std::move(emulator)), seconds_(loadSeconds)
    {
    }
    // Reports the time at debug level 2.
    ~EmulatorMeter() override;

    DeviceHandle open(const char* name, DeviceAccess access) override { return emulator_->open(name, access); }
    bool close(DeviceHandle handle) override { return emulator_->close(handle); }
    bool readDescriptor(DeviceHandle handle, uint8_t descriptor[8]) override
    {
        return emulator_->readDescriptor(handle, descriptor);
    }
    bool read(DeviceHandle handle, uint8_t* dst, uint32_t size, uint32_t* received) override
    {
        return emulator_->read(handle, dst, size, received);
    }
    bool write(DeviceHandle handle, const uint8_t* src, uint32_t size, uint32_t* written) override;
    bool setTransferTimeout(DeviceHandle handle, uint32_t milliseconds) override
    {
        return emulator_->setTransferTimeout(handle, milliseconds);
    }
    uint32_t lastError() override { return emulator_->lastError(); }

private:
    std::unique_ptr<DeviceFiles> emulator_;
    double seconds_;
};
