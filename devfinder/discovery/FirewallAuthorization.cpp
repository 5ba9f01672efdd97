#include "FirewallAuthorization.h"

#include <windows.h>
#include <netfw.h>
#include <oleauto.h>

#include <vector>

namespace {

const CLSID kNetFwMgrClass = {0x304CE942, 0x6E39, 0x40D8, {0x94, 0x3A, 0xB9, 0x13, 0xC4, 0x0C, 0x9C, 0xD4}};
const IID kNetFwMgrInterface = {0xF7898AF5, 0xCAC4, 0x4632, {0xA2, 0xEC, 0xDA, 0x06, 0xE5, 0x11, 0x1A, 0xF2}};
const CLSID kAuthorizedApplicationClass = {0xEC9846B3, 0x2762, 0x4A6B, {0xA2, 0x14, 0x6A, 0xCB, 0x60, 0x34, 0x62, 0xD2}};
const IID kAuthorizedApplicationInterface = {0xB5E64FFA, 0xC2C5, 0x444E, {0xA3, 0x01, 0xFB, 0x5E, 0x00, 0x01, 0x80, 0x50}};

template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer()
    {
        if (pointer_) {
            pointer_->Release();
        }
    }
    Interface** Out() { return &pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    Interface* pointer_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(const std::string& text)
    {
        const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
        std::vector<wchar_t> wide(static_cast<std::size_t>(length > 0 ? length : 1));
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
        value_ = SysAllocString(wide.data());
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(value_); }
    BSTR Get() const { return value_; }

private:
    BSTR value_;
};

// The executable's full path; a name that fills 260 characters is read
// again into 780 before giving up.
bool OwnExecutablePath(std::string& path)
{
    for (const DWORD size : {DWORD{MAX_PATH}, DWORD{3 * MAX_PATH}}) {
        std::vector<char> buffer(size);
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) {
            return false;
        }
        if (length < size) {
            path.assign(buffer.data(), length);
            return true;
        }
    }
    return false;
}

}  // namespace

void AuthorizeInFirewall(const std::string& applicationName)
{
    ComPointer<INetFwMgr> manager;
    if (FAILED(CoCreateInstance(kNetFwMgrClass, nullptr, CLSCTX_INPROC_SERVER, kNetFwMgrInterface,
                                reinterpret_cast<void**>(manager.Out()))) ||
        !manager) {
        return;
    }
    ComPointer<INetFwPolicy> policy;
    if (FAILED(manager->get_LocalPolicy(policy.Out())) || !policy) {
        return;
    }
    ComPointer<INetFwProfile> profile;
    if (FAILED(policy->get_CurrentProfile(profile.Out())) || !profile) {
        return;
    }
    std::string path;
    if (!OwnExecutablePath(path)) {
        return;
    }
    ComPointer<INetFwAuthorizedApplications> applications;
    if (FAILED(profile->get_AuthorizedApplications(applications.Out())) || !applications) {
        return;
    }
    const Bstr imagePath(path);
    {
        ComPointer<INetFwAuthorizedApplication> existing;
        VARIANT_BOOL enabled = VARIANT_FALSE;
        if (SUCCEEDED(applications->Item(imagePath.Get(), existing.Out())) && existing &&
            SUCCEEDED(existing->get_Enabled(&enabled)) && enabled != VARIANT_FALSE) {
            return;
        }
    }
    ComPointer<INetFwAuthorizedApplication> application;
    if (FAILED(CoCreateInstance(kAuthorizedApplicationClass, nullptr, CLSCTX_INPROC_SERVER,
                                kAuthorizedApplicationInterface, reinterpret_cast<void**>(application.Out()))) ||
        !application) {
        return;
    }
    const Bstr name(applicationName);
    application->put_ProcessImageFileName(imagePath.Get());
    application->put_Name(name.Get());
    applications->Add(application.operator->());
}
