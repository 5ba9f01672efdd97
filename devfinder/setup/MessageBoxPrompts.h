#pragma once
// The setup layer's prompts as message boxes over the window the user is
// working in, captioned with the program's name.

#include <windows.h>

#include <string>

#include "PrinterSetup.h"

class MessageBoxPrompts : public SetupPrompts {
public:
    MessageBoxPrompts(HWND owner, std::string caption) : owner_(owner), caption_(std::move(caption)) {}
    void ShowRefusal(const std::string& text) override;
    bool Confirm(const std::string& question) override;

private:
    HWND Owner() const { return owner_ ? owner_ : GetActiveWindow(); }

    HWND owner_;
    std::string caption_;
};
