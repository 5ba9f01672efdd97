#include "RemovalRecord.h"

const char kRemovalRecordName[] = "Xunz___Z.unr";

namespace {

const char kFirstLine[] = "uninstall record 1";
const char kLastLine[] = "end of record";

bool Writable(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

void WriteLines(std::string& out, const std::string& kind, const std::vector<std::string>& items)
{
    for (const std::string& item : items) {
        if (Writable(item))
            out += kind + '\t' + item + "\r\n";
    }
}

// Every list but the package's directories, which only phase 9 adds.
bool Recorded(ItemList list) { return list != ItemList::Directories; }

void WriteProfile(std::string& out, const std::string& kind, const UninstallProfile& profile)
{
    for (size_t i = 0; i < kItemListCount; ++i) {
        const ItemList list = ItemListAt(i);
        if (Recorded(list))
            WriteLines(out, kind + "." + ItemListName(list), profile.Items(list));
    }
}

// "plan.Files" gives the plan and Files.
bool AddProfileLine(RemovalRecord& record, std::string_view kind, const std::string& item)
{
    const size_t dot = kind.find('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view profile = kind.substr(0, dot);
    UninstallProfile* target =
        profile == "plan" ? &record.plan : profile == "full" ? &record.fullRemovalItems : nullptr;
    for (size_t i = 0; target && i < kItemListCount; ++i) {
        const ItemList list = ItemListAt(i);
        if (Recorded(list) && kind.substr(dot + 1) == ItemListName(list)) {
            target->AddItem(list, item);
            return true;
        }
    }
    return false;
}

}  // namespace

std::string FormatRemovalRecord(const RemovalRecord& record)
{
    std::string out = std::string(kFirstLine) + "\r\n";
    WriteLines(out, "printer", record.printers);
    WriteLines(out, "driver", record.drivers);
    WriteProfile(out, "plan", record.plan);
    WriteProfile(out, "full", record.fullRemovalItems);
    return out + kLastLine + "\r\n";
}

std::optional<RemovalRecord> ParseRemovalRecord(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    if (lines.size() < 2 || lines.front() != kFirstLine || lines.back() != kLastLine)
        return std::nullopt;

    RemovalRecord record;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const size_t tab = lines[i].find('\t');
        if (tab == std::string_view::npos || tab + 1 == lines[i].size())
            return std::nullopt;
        const std::string_view kind = lines[i].substr(0, tab);
        const std::string item(lines[i].substr(tab + 1));
        if (kind == "printer") {
            record.printers.push_back(item);
        } else if (kind == "driver") {
            record.drivers.push_back(item);
        } else if (!AddProfileLine(record, kind, item)) {
            return std::nullopt;
        }
    }
    return record;
}
