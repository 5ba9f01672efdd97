#include <gtest/gtest.h>

#include <string>

#include "MessageFormat.h"

TEST(MessageFormat, PlacesOneIntegerAndNeverReadsMoreArguments)
{
    char out[64];
    formatMessageWithInteger("Status %d (%s %x) 100%% %d", -7, out, sizeof out);
    EXPECT_STREQ(out, "Status -7 (%s %x) 100% %d");

    wchar_t wide[64];
    formatMessageWithInteger(L"Fehler %i.", 255, wide, 64);
    EXPECT_EQ(std::wstring(wide), L"Fehler 255.");
}

TEST(MessageFormat, CutsToTheBuffer)
{
    char out[8];
    formatMessageWithInteger("value %d is long", 123456, out, sizeof out);
    EXPECT_STREQ(out, "value 1");
    formatMessageWithInteger(static_cast<const char*>(nullptr), 1, out, sizeof out);
    EXPECT_STREQ(out, "");
}
