#pragma once
// The value forms of the settings file. Parsing and formatting ignore the
// C locale: a host application that switched to a comma locale must not
// change what the file holds.
#include <stdint.h>

#include <string>

// The text's leading decimal number (optional blanks and sign), 0 when there
// is none; values beyond the 32-bit range saturate.
int32_t parseProfileInteger(const char* text);
std::string formatProfileInteger(int32_t value);

// The leading decimal number with an optional fraction, 0.0 when there is none.
double parseProfileFloat(const char* text);
// Six decimals, the way "%f" writes a number.
std::string formatProfileDecimal(float value);
// The stored gamma form: six decimals followed by the characters "3.1",
// so 1.0 is written "1.0000003.1" and read back as 1.0000003.
std::string formatProfileGamma(float value);

// TRUE exactly when the text is "TRUE".
bool parseProfileBoolean(const char* text);
const char* formatProfileBoolean(bool value);

enum class ProfileValueKind { Integer, ShortInteger, Float, Boolean };

struct ProfileValue {
    ProfileValueKind kind;
    union {
        int32_t integer;
        int16_t shortInteger;
        float number;
        bool flag;
    };

    static ProfileValue ofInteger(int32_t value);
    static ProfileValue ofShortInteger(int16_t value);
    static ProfileValue ofFloat(float value);
    static ProfileValue ofBoolean(bool value);
};

// The text stored for a value and the value read from a text, by kind.
std::string formatProfileValue(const ProfileValue& value);
ProfileValue parseProfileValue(ProfileValueKind kind, const char* text);
