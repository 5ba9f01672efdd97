#include "SetupFactory.h"

#include "MessageBoxPrompts.h"
#include "PortNameEditorDialog.h"
#include "SpoolerPrinterSetup.h"
#include "Win32AnsiText.h"
#include "Win32Spooler.h"

namespace {

// Keeps the spooler and the text conversions alive as long as the setup layer that uses them.
class OwningSpoolerPrinterSetup : public SpoolerPrinterSetup {
public:
    OwningSpoolerPrinterSetup() : OwningSpoolerPrinterSetup(std::make_unique<Parts>()) {}

private:
    struct Parts {
        Win32Spooler spooler;
        Win32AnsiText text;
    };
    explicit OwningSpoolerPrinterSetup(std::unique_ptr<Parts> parts)
        : SpoolerPrinterSetup(parts->spooler, parts->text), parts_(std::move(parts)) {}
    std::unique_ptr<Parts> parts_;
};

}  // namespace

std::unique_ptr<PrinterSetup> CreateSpoolerPrinterSetup() { return std::make_unique<OwningSpoolerPrinterSetup>(); }

std::unique_ptr<PortNameEditor> CreatePortNameEditor(HWND owner, HINSTANCE resources) {
    return std::make_unique<DialogPortNameEditor>(owner, resources);
}

std::unique_ptr<SetupPrompts> CreateSetupPrompts(HWND owner, HINSTANCE resources) {
    constexpr UINT kProgramName = 2000;
    char caption[256] = "";
    LoadStringA(resources, kProgramName, caption, sizeof caption);
    return std::make_unique<MessageBoxPrompts>(owner, caption);
}
