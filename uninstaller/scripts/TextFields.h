#pragma once
// Small readers for the fields of script lines.

#include <string>
#include <string_view>

// Drops every double quote at either end ("\"\"Drv\"" gives "Drv").
std::string StripQuotes(std::string_view text);

// Leading decimal value as the C library reads it, clamped to int; 0 when
// there is none.
int LeadingInteger(std::string_view text);

// Trims spaces only: tabs are part of the text.
std::string_view TrimSpaces(std::string_view text);
