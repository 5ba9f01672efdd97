#pragma once
// unzplan, the headless twin of the uninstaller's details dialog:
//
//   unzplan [program switches] --printers FILE SCRIPT...
//
// Reads the scripts in the given order, takes the installed printers from
// FILE, applies the program's switches (/MFG:, /PRN:, /UNVEN, ...) and the
// loading sequence's selection rules, builds the removal plan and writes it
// to out. Arguments before --printers are program switches; everything
// after FILE is a script path (so absolute paths starting with "/" work).
//
// The uninstaller writes the printers it built its plan for to its trace
// (VIVARO_TRACE_FILE) as "printer<TAB>..." lines: without that prefix they
// form FILE, and the run can be replayed here.
//
// Exit status: 0 done, 1 a file could not be read, 2 bad arguments.

#include <ostream>
#include <string>
#include <vector>

int RunUnzplan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
