#include "NumericEditRules.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

bool isPassingControl(unsigned c)
{
    return c == 8 || c == 9 || c == 12 || c == 13 || (c >= 16 && c <= 21) || (c >= 23 && c <= 25) || c == 27;
}

}  // namespace

NumericKeyDecision decideNumericKey(const std::string& text, int selectionStart, int selectionEnd, unsigned character,
                                    const NumericEditRange& range)
{
    if (isPassingControl(character))
        return {NumericKeyAction::passThrough, {}};
    bool negativeAllowed = range.upper < 0 || range.lower < 0;
    bool digit = character >= '0' && character <= '9';
    if (!digit && !(character == '-' && negativeAllowed))
        return {NumericKeyAction::undoAndBeep, {}};

    int length = static_cast<int>(text.size());
    int start = std::clamp(std::min(selectionStart, selectionEnd), 0, length);
    int end = std::clamp(std::max(selectionStart, selectionEnd), 0, length);
    std::string candidate = text.substr(0, start) + static_cast<char>(character) + text.substr(end);
    int caret = start + 1;
    if (character == '-' && (start != 0 || std::count(candidate.begin(), candidate.end(), '-') != 1))
        return {NumericKeyAction::beep, {}};

    // Leading zeros go as soon as a digit follows them.
    size_t digits = candidate[0] == '-' ? 1 : 0;
    while (candidate.size() > digits + 1 && candidate[digits] == '0' && candidate[digits + 1] != '-') {
        candidate.erase(digits, 1);
        caret = std::max(caret - 1, static_cast<int>(digits));
    }
    if (candidate == "-0")
        return {NumericKeyAction::replaceText, {}, 0, true};
    if (candidate == "-")
        return {NumericKeyAction::replaceText, candidate, caret};

    errno = 0;
    long value = std::strtol(candidate.c_str(), nullptr, 10);
    if (errno == ERANGE || value < range.lower || value > range.upper)
        return {NumericKeyAction::beep, {}};
    return {NumericKeyAction::replaceText, candidate, caret};
}
