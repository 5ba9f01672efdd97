#include "PlanReport.h"

namespace {

void WriteProfile(const char* setName, const UninstallProfile& profile, std::ostream& out)
{
    for (size_t i = 0; i < kItemListCount; ++i) {
        ItemList list = ItemListAt(i);
        for (const std::string& item : profile.Items(list))
            out << setName << '.' << ItemListName(list) << '\t' << item << '\n';
    }
}

}  // namespace

void WritePlanReport(const UninstallDatabase& database, std::ostream& out)
{
    WriteProfile("selected", database.SelectedSet(), out);
    WriteProfile("protected", database.ProtectedSet(), out);
    WriteProfile("plan", database.RemovalPlan(), out);
    out << "flag.picking\t" << (database.PickingAllowed() ? 1 : 0) << '\n';
    out << "flag.scanner\t" << (database.ScannerUninstallRequested() ? 1 : 0) << '\n';
    out << "flag.maskingToolKept\t" << (database.MaskingToolKept() ? 1 : 0) << '\n';
    out << "counter.staying\t" << database.PrintersStaying() << '\n';
    out << "counter.going\t" << database.PrintersGoing() << '\n';
}
