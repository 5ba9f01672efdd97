#include "shell/ShellState.h"

ShellState& shellState()
{
    static ShellState state;
    return state;
}
