#include "UninstallProfile.h"

#include "TextCompare.h"

#include <algorithm>

namespace {

constexpr std::array<const char*, kItemListCount> kListNames = {
    "DeleteIni", "DeleteLoadRun", "UnSelfRegister", "PrintProcessors", "Monitors", "Services",
    "Hooks",     "Files",         "Shortcuts",      "RegistryKeys",    "drivers",  "directories",
};

}  // namespace

const char* ItemListName(ItemList list)
{
    return kListNames[static_cast<size_t>(list)];
}

ItemList ItemListAt(size_t index)
{
    return static_cast<ItemList>(index);
}

void UninstallProfile::AddItem(ItemList list, std::string item)
{
    std::vector<std::string>& items = lists_[Index(list)];
    items.push_back(std::move(item));
    SortUniqueIgnoringCase(items);
}

void UninstallProfile::SetItems(ItemList list, std::vector<std::string> items)
{
    SortUniqueIgnoringCase(items);
    lists_[Index(list)] = std::move(items);
}

void UninstallProfile::Merge(const UninstallProfile& other)
{
    for (size_t i = 0; i < kItemListCount; ++i) {
        lists_[i].insert(lists_[i].end(), other.lists_[i].begin(), other.lists_[i].end());
        SortUniqueIgnoringCase(lists_[i]);
    }
}

void UninstallProfile::Subtract(const UninstallProfile& other)
{
    for (size_t i = 0; i < kItemListCount; ++i) {
        const std::vector<std::string>& removed = other.lists_[i];
        std::erase_if(lists_[i], [&removed](const std::string& item) {
            return std::any_of(removed.begin(), removed.end(),
                               [&item](const std::string& gone) { return EqualsIgnoringCase(item, gone); });
        });
    }
}

void UninstallProfile::SortAll()
{
    for (std::vector<std::string>& items : lists_)
        SortUniqueIgnoringCase(items);
}

bool UninstallProfile::Contains(ItemList list, std::string_view item) const
{
    const std::vector<std::string>& items = lists_[Index(list)];
    return std::any_of(items.begin(), items.end(),
                       [item](const std::string& held) { return EqualsIgnoringCase(held, item); });
}

bool UninstallProfile::IsEmpty() const
{
    return std::all_of(lists_.begin(), lists_.end(), [](const auto& items) { return items.empty(); });
}
