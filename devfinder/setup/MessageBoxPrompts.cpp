#include "MessageBoxPrompts.h"

void MessageBoxPrompts::ShowRefusal(const std::string& text)
{
    MessageBoxA(Owner(), text.c_str(), caption_.c_str(), MB_OK | MB_ICONWARNING);
}

bool MessageBoxPrompts::Confirm(const std::string& question)
{
    return MessageBoxA(Owner(), question.c_str(), caption_.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDYES;
}
