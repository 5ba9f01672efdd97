#include "SelectionRows.h"

#include "resource.h"

int PrinterImageIndex(const InstalledPrinter& printer)
{
    return (printer.isDefault ? 1 : 0) + (printer.server.empty() ? 0 : 2) + (printer.baseName.empty() ? 0 : 4);
}

std::array<std::string, 6> PrinterColumnTexts(const InstalledPrinter& printer, StringTable& texts)
{
    return {printer.name,
            printer.driver,
            printer.server.empty() ? texts.text(IDS_LOCAL) : printer.server,
            texts.text(printer.isDefault ? IDS_YES : IDS_NO),
            texts.text(printer.ours ? IDS_YES : IDS_NO),
            printer.baseName.empty() ? texts.text(IDS_NOT_APPLICABLE) : printer.baseName};
}
