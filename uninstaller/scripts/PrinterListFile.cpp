#include "PrinterListFile.h"

namespace {

std::vector<std::string> SplitTabs(std::string_view line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t tab = line.find('\t', start);
        fields.emplace_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

}  // namespace

PrinterListResult ParsePrinterList(std::string_view text)
{
    PrinterListResult result;
    size_t position = 0;
    int lineNumber = 0;
    while (position < text.size()) {
        size_t end = text.find('\n', position);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(position, end - position);
        position = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;

        std::vector<std::string> fields = SplitTabs(line);
        if (fields.size() > 5) {
            result.ok = false;
            result.error = "line " + std::to_string(lineNumber) + ": more than five fields";
            return result;
        }
        fields.resize(5);
        InstalledPrinter printer;
        printer.name = fields[0];
        printer.driver = fields[1];
        printer.baseName = fields[2];
        printer.server = fields[3];
        for (char flag : fields[4]) {
            switch (flag) {
            case 'd':
                printer.isDefault = true;
                break;
            case 'o':
                printer.ours = true;
                break;
            case 'k':
                printer.keep = true;
                break;
            default:
                result.ok = false;
                result.error = "line " + std::to_string(lineNumber) + ": unknown flag '" + std::string(1, flag) +
                               "' (use d, o, k)";
                return result;
            }
        }
        printer.DeriveForeign();
        result.printers.push_back(std::move(printer));
    }
    return result;
}

std::string FormatPrinterListLine(const InstalledPrinter& printer)
{
    std::string flags;
    if (printer.isDefault)
        flags += 'd';
    if (printer.ours)
        flags += 'o';
    if (printer.keep)
        flags += 'k';
    return printer.name + '\t' + printer.driver + '\t' + printer.baseName + '\t' + printer.server + '\t' + flags;
}
