#pragma once
// Code-page conversions by the system's own calls (current ANSI code page).

#include "AnsiText.h"

class Win32AnsiText : public AnsiText {
public:
    std::u16string Widen(const std::string& text) const override;
    std::string Narrow(const std::u16string& text) const override;
    std::string UpperCase(const std::string& text) const override;
    bool IsLeadByte(char byte) const override;
};
