#pragma once
// The soak: the source opened and closed again and again with ten transfers
// a session (native, memory, memory given up halfway, file; every pixel
// type; 150 and 600 dpi), printing the process's private bytes, handles and
// GDI and USER objects every 20 transfers. After the first session the
// growth must stay below one 150 dpi colour letter page and below 10
// handles and objects; the exit code is 0 when it did and every transfer worked.
int RunSoak(int sessions);
