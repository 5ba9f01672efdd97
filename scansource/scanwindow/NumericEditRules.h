#pragma once
// What the numeric edits of the scan settings window do with a typed
// character, given the capability's allowed range. The Win32 filter
// (NumericEditFilter) only carries the decision out.
#include <string>

struct NumericEditRange {
    int upper;
    int lower;
    int step;
};

enum class NumericKeyAction {
    passThrough,  // a control character: the edit handles it
    undoAndBeep,  // a character that never belongs in the edit
    beep,         // would leave a number out of range: dropped
    replaceText,  // the character is taken: show text, caret at caret
};

struct NumericKeyDecision {
    NumericKeyAction action;
    std::string text;
    int caret = 0;
    bool beep = false;  // with replaceText: a lone "-0" was cleared
};

// text is the edit's content, [selectionStart, selectionEnd) the selection
// that the character replaces.
NumericKeyDecision decideNumericKey(const std::string& text, int selectionStart, int selectionEnd, unsigned character,
                                    const NumericEditRange& range);
