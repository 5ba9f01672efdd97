// The typing rules of the numeric edits, with the ranges the settings
// window uses: brightness and contrast -60..60, threshold 1..7.
#include "NumericEditRules.h"

#include <gtest/gtest.h>

namespace {

constexpr NumericEditRange kBrightness{60, -60, 1};
constexpr NumericEditRange kThreshold{7, 1, 1};

struct Case {
    const char* what;
    NumericEditRange range;
    const char* text;
    int caret;
    char typed;
    NumericKeyAction action;
    const char* result;  // the new text for replaceText
};

TEST(NumericEditRules, TypedCharacters)
{
    using A = NumericKeyAction;
    const Case cases[] = {
        {"7 then 0 leaves 70 out of range", kBrightness, "7", 1, '0', A::beep, ""},
        {"digit in range", kBrightness, "5", 1, '5', A::replaceText, "55"},
        {"minus at the start", kBrightness, "", 0, '-', A::replaceText, "-"},
        {"negative number", kBrightness, "-", 1, '6', A::replaceText, "-6"},
        {"minus below the lower bound", kBrightness, "-6", 2, '1', A::beep, ""},
        {"minus not first", kBrightness, "5", 1, '-', A::beep, ""},
        {"second minus", kBrightness, "-5", 0, '-', A::beep, ""},
        {"minus without a negative bound", kThreshold, "", 0, '-', A::undoAndBeep, ""},
        {"letter", kBrightness, "1", 1, 'a', A::undoAndBeep, ""},
        {"paste key", kBrightness, "1", 1, 22, A::undoAndBeep, ""},
        {"leading zero dropped", kBrightness, "0", 1, '5', A::replaceText, "5"},
        {"zero before a digit dropped", kBrightness, "5", 0, '0', A::replaceText, "5"},
        {"minus zero then a digit", kBrightness, "-0", 2, '4', A::replaceText, "-4"},
        {"lone minus zero clears", kBrightness, "-", 1, '0', A::replaceText, ""},
        {"threshold above 7", kThreshold, "", 0, '8', A::beep, ""},
        {"threshold zero below 1", kThreshold, "", 0, '0', A::beep, ""},
        {"replaces the selection", kBrightness, "59", 0, '4', A::replaceText, "49"},
        {"backspace passes", kBrightness, "5", 1, 8, A::passThrough, ""},
        {"escape passes", kBrightness, "5", 1, 27, A::passThrough, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int selectionEnd = std::string(c.what) == "replaces the selection" ? 1 : c.caret;
        NumericKeyDecision d = decideNumericKey(c.text, c.caret, selectionEnd, static_cast<unsigned char>(c.typed), c.range);
        EXPECT_EQ(d.action, c.action);
        if (c.action == A::replaceText) {
            EXPECT_EQ(d.text, c.result);
        }
    }
    NumericKeyDecision cleared = decideNumericKey("-", 1, 1, '0', kBrightness);
    EXPECT_TRUE(cleared.beep);
    NumericKeyDecision caret = decideNumericKey("0", 1, 1, '5', kBrightness);
    EXPECT_EQ(caret.caret, 1);
}

}  // namespace
