#pragma once
// Message texts that carry one number. The texts come from an editable
// translation file, so they are never handed to printf: the first %d (or
// %i) takes the number, %% gives a percent sign, any other % stays as it is.
#include <stddef.h>

template <typename Char>
void formatMessageWithInteger(const Char* format, int value, Char* out, size_t outChars);

extern template void formatMessageWithInteger<char>(const char*, int, char*, size_t);
extern template void formatMessageWithInteger<wchar_t>(const wchar_t*, int, wchar_t*, size_t);
