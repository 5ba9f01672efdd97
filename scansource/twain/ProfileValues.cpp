#include "ProfileValues.h"

#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {
const char* skipBlanks(const char* text)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
}

int32_t parseProfileInteger(const char* text)
{
    if (!text)
        return 0;
    text = skipBlanks(text);
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    int64_t magnitude = 0;
    for (; isDigit(*text); ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > static_cast<int64_t>(INT32_MAX) + 1)
            magnitude = static_cast<int64_t>(INT32_MAX) + 1;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        value = INT32_MAX;
    return static_cast<int32_t>(value);
}

std::string formatProfileInteger(int32_t value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

double parseProfileFloat(const char* text)
{
    if (!text)
        return 0.0;
    text = skipBlanks(text);
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    double value = 0.0;
    for (; isDigit(*text); ++text)
        value = value * 10.0 + (*text - '0');
    if (*text == '.') {
        double scale = 0.1;
        for (++text; isDigit(*text); ++text) {
            value += (*text - '0') * scale;
            scale /= 10.0;
        }
    }
    return negative ? -value : value;
}

std::string formatProfileDecimal(float value)
{
    double number = value;
    if (!isfinite(number))
        number = 0.0;
    bool negative = number < 0.0;
    auto micros = static_cast<long long>(llround(fabs(number) * 1000000.0));
    char text[48];
    snprintf(text, sizeof text, "%s%lld.%06lld", negative && micros != 0 ? "-" : "", micros / 1000000,
             micros % 1000000);
    return text;
}

std::string formatProfileGamma(float value)
{
    return formatProfileDecimal(value) + "3.1";
}

bool parseProfileBoolean(const char* text)
{
    return text && strcmp(text, "TRUE") == 0;
}

const char* formatProfileBoolean(bool value)
{
    return value ? "TRUE" : "FALSE";
}

ProfileValue ProfileValue::ofInteger(int32_t value)
{
    ProfileValue result{ProfileValueKind::Integer, {}};
    result.integer = value;
    return result;
}

ProfileValue ProfileValue::ofShortInteger(int16_t value)
{
    ProfileValue result{ProfileValueKind::ShortInteger, {}};
    result.shortInteger = value;
    return result;
}

ProfileValue ProfileValue::ofFloat(float value)
{
    ProfileValue result{ProfileValueKind::Float, {}};
    result.number = value;
    return result;
}

ProfileValue ProfileValue::ofBoolean(bool value)
{
    ProfileValue result{ProfileValueKind::Boolean, {}};
    result.flag = value;
    return result;
}

std::string formatProfileValue(const ProfileValue& value)
{
    switch (value.kind) {
    case ProfileValueKind::Integer: return formatProfileInteger(value.integer);
    case ProfileValueKind::ShortInteger: return formatProfileInteger(value.shortInteger);
    case ProfileValueKind::Float: return formatProfileGamma(value.number);
    case ProfileValueKind::Boolean: return formatProfileBoolean(value.flag);
    }
    return std::string();
}

ProfileValue parseProfileValue(ProfileValueKind kind, const char* text)
{
    switch (kind) {
    case ProfileValueKind::Integer: return ProfileValue::ofInteger(parseProfileInteger(text));
    case ProfileValueKind::ShortInteger:
        return ProfileValue::ofShortInteger(static_cast<int16_t>(parseProfileInteger(text)));
    case ProfileValueKind::Float: return ProfileValue::ofFloat(static_cast<float>(parseProfileFloat(text)));
    case ProfileValueKind::Boolean: return ProfileValue::ofBoolean(parseProfileBoolean(text));
    }
    return ProfileValue::ofInteger(0);
}
