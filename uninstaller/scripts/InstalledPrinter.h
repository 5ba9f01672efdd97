#pragma once
// One printer found on the machine while loading, kept in enumeration order
// by the UninstallDatabase. Only the flags change after the list is built.

#include <string>

struct InstalledPrinter {
    std::string name;      // up to 259 characters
    std::string driver;
    std::string baseName;  // printer data "VenPrinter": the printer a masked copy stands for
    std::string server;    // empty for a local printer
    bool ours = false;     // has printer data "NorvaneDriver_Z"
    bool isDefault = false;
    bool keep = false;     // not to be removed (filtered out or not selected)
    bool foreign = false;  // neither ours nor masked: never offered, never removed
    bool removed = false;  // already removed by the removal phases
    bool eligible = true;  // offered in the printer list
    // A masked copy whose base printer goes; set by each plan build, so that
    // keep stays what the switches and the selection made it.
    bool goesWithBase = false;

    // Foreign follows from ours and the base name; call once both are known.
    void DeriveForeign() { foreign = !ours && baseName.empty(); }
    // Offered in the selection list.
    bool Offered() const { return !foreign && !removed && eligible; }
    // Taken away by the removal, or taken already.
    bool Chosen() const { return !foreign && (!keep || goesWithBase); }
    // Taken away by the removal.
    bool Goes() const { return Chosen() && !removed; }
};
