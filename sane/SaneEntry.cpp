// The SANE 1.0 entry points of the backend "vivaro". Every call converts
// what happens inside into a SANE_Status here, once; no exception leaves.
#include "BackendConfig.h"
#include "Debug.h"
#include "DeviceCatalog.h"
#include "ScanOptions.h"
#include "ScanStatus.h"
#include "ScannerSession.h"

#include <sane/sane.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <sstream>

#ifndef VIVARO_SANE_CONFIG_DIR
#define VIVARO_SANE_CONFIG_DIR "/etc/sane.d"
#endif

namespace {

constexpr SANE_Int kBackendBuild = 0;

struct OpenDevice {
    ScanOptions options;
    std::unique_ptr<ScannerSession> session;
};

struct Backend {
    libusb_context* usb = nullptr;
    BackendConfig config;
    std::vector<CatalogDevice> devices;
    std::vector<SANE_Device> saneDevices;
    std::vector<const SANE_Device*> deviceList;
    std::vector<std::unique_ptr<OpenDevice>> open;

    ~Backend()
    {
        open.clear();  // their sessions use the USB context
        if (usb)
            libusb_exit(usb);
    }
};

std::unique_ptr<Backend> backend;

BackendConfig readConfig()
{
    for (const std::string& dir : configDirectories(std::getenv("SANE_CONFIG_DIR"), VIVARO_SANE_CONFIG_DIR)) {
        std::string path = dir + "/vivaro.conf";
        std::ifstream file(path);
        if (!file)
            continue;
        debugMessage(2, "reading %s", path.c_str());
        std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        return parseBackendConfig(text, dir, [&](const std::string& why) {
            debugMessage(1, "%s: %s", path.c_str(), why.c_str());
        });
    }
    debugMessage(2, "no vivaro.conf: looking for the family's USB ids");
    return defaultBackendConfig();
}

void refreshDevices()
{
    backend->devices = findDevices(backend->config, backend->usb);
    backend->saneDevices.clear();
    for (const CatalogDevice& d : backend->devices)
        backend->saneDevices.push_back({d.name.c_str(), "ARVEL NORVANE", d.model.c_str(), "multi-function peripheral"});
    backend->deviceList.clear();
    for (const SANE_Device& d : backend->saneDevices)
        backend->deviceList.push_back(&d);
    backend->deviceList.push_back(nullptr);
}

std::vector<std::unique_ptr<OpenDevice>>::iterator findOpen(SANE_Handle handle)
{
    return std::find_if(backend->open.begin(), backend->open.end(),
                        [&](const std::unique_ptr<OpenDevice>& d) { return d.get() == handle; });
}

OpenDevice* openDevice(SANE_Handle handle)
{
    if (!backend)
        return nullptr;
    auto found = findOpen(handle);
    return found != backend->open.end() ? found->get() : nullptr;
}

// The one place where whatever went wrong inside becomes a status.
template <typename Call>
SANE_Status guarded(const char* what, Call call)
{
    try {
        return call();
    } catch (const std::bad_alloc&) {
        debugMessage(1, "%s: out of memory", what);
        return SANE_STATUS_NO_MEM;
    } catch (const std::exception& e) {
        debugMessage(1, "%s: %s", what, e.what());
        return SANE_STATUS_IO_ERROR;
    } catch (...) {
        debugMessage(1, "%s failed", what);
        return SANE_STATUS_IO_ERROR;
    }
}

}  // namespace

extern "C" {

SANE_Status sane_vivaro_init(SANE_Int* version, SANE_Auth_Callback)
{
    initDebugLevel();
    return guarded("sane_init", [&] {
        if (version)
            *version = SANE_VERSION_CODE(SANE_CURRENT_MAJOR, SANE_CURRENT_MINOR, kBackendBuild);
        if (backend)
            return SANE_STATUS_GOOD;
        auto fresh = std::make_unique<Backend>();
        if (int result = libusb_init(&fresh->usb); result != 0) {
            debugMessage(1, "no USB access (%s): emulators only", libusb_error_name(result));
            fresh->usb = nullptr;
        }
        fresh->config = readConfig();
        backend = std::move(fresh);
        return SANE_STATUS_GOOD;
    });
}

void sane_vivaro_exit(void)
{
    guarded("sane_exit", [] {
        backend.reset();
        return SANE_STATUS_GOOD;
    });
}

SANE_Status sane_vivaro_get_devices(const SANE_Device*** list, SANE_Bool)
{
    return guarded("sane_get_devices", [&] {
        if (!backend || !list)
            return SANE_STATUS_INVAL;
        refreshDevices();
        *list = backend->deviceList.data();
        return SANE_STATUS_GOOD;
    });
}

SANE_Status sane_vivaro_open(SANE_String_Const name, SANE_Handle* handle)
{
    return guarded("sane_open", [&] {
        if (!backend || !name || !handle)
            return SANE_STATUS_INVAL;
        auto named = [&] {
            return std::find_if(backend->devices.begin(), backend->devices.end(), [&](const CatalogDevice& d) {
                return name[0] == '\0' || d.name == name;
            });
        };
        auto found = named();
        if (found == backend->devices.end()) {
            refreshDevices();
            found = named();
        }
        if (found == backend->devices.end()) {
            debugMessage(1, "no device \"%s\"", name);
            return SANE_STATUS_INVAL;
        }
        auto device = std::make_unique<OpenDevice>();
        device->session = makeSession(*found, backend->usb);
        if (!device->session)
            return SANE_STATUS_INVAL;
        SANE_Status status = device->session->open();
        if (status != SANE_STATUS_GOOD) {
            debugMessage(1, "cannot open %s: %s", found->name.c_str(), statusText(status));
            return status;
        }
        debugMessage(2, "opened %s (%s)", found->name.c_str(), found->model.c_str());
        *handle = device.get();
        backend->open.push_back(std::move(device));
        return SANE_STATUS_GOOD;
    });
}

void sane_vivaro_close(SANE_Handle handle)
{
    guarded("sane_close", [&] {
        if (backend) {
            auto found = findOpen(handle);
            if (found != backend->open.end())
                backend->open.erase(found);
        }
        return SANE_STATUS_GOOD;
    });
}

const SANE_Option_Descriptor* sane_vivaro_get_option_descriptor(SANE_Handle handle, SANE_Int option)
{
    OpenDevice* device = openDevice(handle);
    return device ? device->options.descriptor(option) : nullptr;
}

SANE_Status sane_vivaro_control_option(SANE_Handle handle, SANE_Int option, SANE_Action action, void* value,
                                       SANE_Int* info)
{
    return guarded("sane_control_option", [&] {
        if (info)
            *info = 0;
        OpenDevice* device = openDevice(handle);
        if (!device)
            return SANE_STATUS_INVAL;
        debugMessage(4, "option %d, action %d", option, action);
        switch (action) {
        case SANE_ACTION_GET_VALUE:
            return device->options.get(option, value);
        case SANE_ACTION_SET_VALUE:
            if (device->session->scanning())
                return SANE_STATUS_DEVICE_BUSY;
            return device->options.set(option, value, info);
        default:  // no option is automatic
            return SANE_STATUS_INVAL;
        }
    });
}

SANE_Status sane_vivaro_get_parameters(SANE_Handle handle, SANE_Parameters* parameters)
{
    return guarded("sane_get_parameters", [&] {
        OpenDevice* device = openDevice(handle);
        if (!device || !parameters)
            return SANE_STATUS_INVAL;
        // During a scan: the image being read; before it: what these options give.
        ScanImageGeometry geometry;
        if (device->session->scanning())
            geometry = device->session->geometry();
        else if (!device->options.imageGeometry(&geometry))
            geometry.width = geometry.height = 0;
        *parameters = parametersFor(geometry);
        return SANE_STATUS_GOOD;
    });
}

SANE_Status sane_vivaro_start(SANE_Handle handle)
{
    return guarded("sane_start", [&] {
        OpenDevice* device = openDevice(handle);
        if (!device)
            return SANE_STATUS_INVAL;
        ScanImageGeometry geometry;
        if (!device->options.imageGeometry(&geometry)) {
            debugMessage(1, "the scan area is empty");
            return SANE_STATUS_INVAL;
        }
        SANE_Parameters p = parametersFor(geometry);
        debugMessage(2, "scan %d x %d pixels at %d x %d dpi, %d bit%s", p.pixels_per_line, p.lines, geometry.hdpi,
                     geometry.vdpi, p.depth * (p.format == SANE_FRAME_RGB ? 3 : 1),
                     device->options.request().feederEnabled ? ", from the feeder" : "");
        return device->session->start(device->options.request(), geometry);
    });
}

SANE_Status sane_vivaro_read(SANE_Handle handle, SANE_Byte* data, SANE_Int maxLength, SANE_Int* length)
{
    return guarded("sane_read", [&] {
        if (length)
            *length = 0;
        OpenDevice* device = openDevice(handle);
        if (!device || !data || !length)
            return SANE_STATUS_INVAL;
        return device->session->read(data, maxLength, length);
    });
}

void sane_vivaro_cancel(SANE_Handle handle)
{
    // No lock, no allocation, no output: front ends call this from signal handlers.
    if (OpenDevice* device = static_cast<OpenDevice*>(handle))
        device->session->cancel();
}

SANE_Status sane_vivaro_set_io_mode(SANE_Handle handle, SANE_Bool nonBlocking)
{
    // Only for an acquisition that sane_start has begun.
    OpenDevice* device = openDevice(handle);
    if (!device || !device->session->scanning())
        return SANE_STATUS_INVAL;
    return nonBlocking ? SANE_STATUS_UNSUPPORTED : SANE_STATUS_GOOD;
}

SANE_Status sane_vivaro_get_select_fd(SANE_Handle, SANE_Int*)
{
    return SANE_STATUS_UNSUPPORTED;
}

}  // extern "C"
