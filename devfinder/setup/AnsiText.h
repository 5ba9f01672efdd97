#pragma once
// Conversions that depend on the current ANSI code page. Behind an interface
// so the portable port logic needs no Windows; Windows answers with its own
// code-page calls.

#include <string>

class AnsiText {
public:
    virtual ~AnsiText() = default;
    virtual std::u16string Widen(const std::string& text) const = 0;
    virtual std::string Narrow(const std::u16string& text) const = 0;
    // Multibyte-aware upper case, for comparing names without regard to case.
    virtual std::string UpperCase(const std::string& text) const = 0;
    // True for the first byte of a double-byte character: its second byte
    // may look like a backslash or a slash and is no such character.
    virtual bool IsLeadByte(char byte) const = 0;
};
