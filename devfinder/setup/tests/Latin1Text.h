#pragma once
// Code-page text for the tests: Latin-1, upper case by ASCII rules only.

#include "AnsiText.h"

class Latin1Text : public AnsiText {
public:
    std::u16string Widen(const std::string& text) const override {
        std::u16string wide;
        for (unsigned char c : text) wide.push_back(c);
        return wide;
    }
    std::string Narrow(const std::u16string& text) const override {
        std::string narrow;
        for (char16_t c : text) narrow.push_back(c < 0x100 ? static_cast<char>(c) : '?');
        return narrow;
    }
    std::string UpperCase(const std::string& text) const override {
        std::string upper = text;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return upper;
    }
    bool IsLeadByte(char) const override { return false; }
};
