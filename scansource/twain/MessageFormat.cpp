#include "MessageFormat.h"

#include <stdio.h>

template <typename Char>
void formatMessageWithInteger(const Char* format, int value, Char* out, size_t outChars)
{
    if (outChars == 0)
        return;
    out[0] = '\0';
    if (!format)
        return;
    char number[16];
    snprintf(number, sizeof number, "%d", value);
    size_t used = 0;
    auto put = [&](Char c) {
        if (used + 1 < outChars)
            out[used++] = c;
    };
    bool numberPlaced = false;
    for (const Char* p = format; *p; ++p) {
        if (*p == '%' && p[1] == '%') {
            put('%');
            ++p;
        } else if (*p == '%' && (p[1] == 'd' || p[1] == 'i') && !numberPlaced) {
            for (const char* digit = number; *digit; ++digit)
                put(static_cast<Char>(*digit));
            numberPlaced = true;
            ++p;
        } else {
            put(*p);
        }
    }
    out[used] = '\0';
}

template void formatMessageWithInteger<char>(const char*, int, char*, size_t);
template void formatMessageWithInteger<wchar_t>(const wchar_t*, int, wchar_t*, size_t);
