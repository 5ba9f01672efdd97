#pragma once
// One profile of the uninstall scripts (a manufacturer, a driver, a
// catch-all or an ignore profile) and the sets built from profiles: the
// selected set, the protected set and the removal plan.

#include <array>
#include <string>
#include <string_view>
#include <vector>

// The twelve item lists; the first ten are read from the scripts' sections
// "<prefix>.<type>" in this order.
enum class ItemList {
    DeleteIni,
    DeleteLoadRun,
    UnSelfRegister,
    PrintProcessors,
    Monitors,
    Services,
    Hooks,
    Files,
    Shortcuts,
    RegistryKeys,
    Drivers,
    Directories,
};

constexpr size_t kItemListCount = 12;
constexpr size_t kScriptItemListCount = 10;

// "DeleteIni" ... "RegistryKeys", then "drivers" and "directories".
const char* ItemListName(ItemList list);
ItemList ItemListAt(size_t index);

class UninstallProfile {
public:
    std::string displayName;
    bool manufacturer = false;
    bool catchAll = false;
    bool ignore = false;
    int number = 0;
    std::string prefix;
    std::string scriptPath;

    const std::vector<std::string>& Items(ItemList list) const { return lists_[Index(list)]; }

    // Adds one item and keeps the list sorted and free of duplicates.
    void AddItem(ItemList list, std::string item);
    // Replaces a list; it is sorted and de-duplicated.
    void SetItems(ItemList list, std::vector<std::string> items);

    // Adds every item of other to each list.
    void Merge(const UninstallProfile& other);
    // Removes from each list the items that the same list of other holds.
    void Subtract(const UninstallProfile& other);
    void Assign(const UninstallProfile& other) { *this = other; }
    void Clear() { *this = UninstallProfile{}; }
    void SortAll();

    bool Contains(ItemList list, std::string_view item) const;
    bool IsEmpty() const;

private:
    static size_t Index(ItemList list) { return static_cast<size_t>(list); }

    std::array<std::vector<std::string>, kItemListCount> lists_;
};
