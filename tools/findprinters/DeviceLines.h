#pragma once
// One tab-separated line per found device.
#include <ostream>

#include "SearchPorts.h"

class DeviceLinePrinter : public DeviceRowSink {
public:
    explicit DeviceLinePrinter(std::ostream& out) : out_(out) {}
    void AddDeviceRow(const std::string& netbiosName, const std::string& addressText, const std::string& dnsName,
                      const std::string& modelText) override;
    int Count() const { return count_; }

private:
    std::ostream& out_;
    int count_ = 0;
};
