#include "DnsLookupWin.h"

#include <windows.h>
#include <windns.h>

#include "ReverseName.h"

int WindowsDnsResolver::LookUpDnsName(Ipv4Address address, std::string& hostLabel)
{
    hostLabel.clear();
    const std::string query = ReverseLookupName(address);
    PDNS_RECORDA records = nullptr;
    const DNS_STATUS status = DnsQuery_A(query.c_str(), DNS_TYPE_PTR, DNS_QUERY_STANDARD, nullptr,
                                         reinterpret_cast<PDNS_RECORD*>(&records), nullptr);
    if (status == 0) {
        // The first PTR record: a resolver may put other records (an EDNS
        // OPT record, say) into the list as well.
        for (PDNS_RECORDA record = records; record; record = record->pNext) {
            if (record->wType == DNS_TYPE_PTR && record->Data.PTR.pNameHost) {
                hostLabel = HostLabel(record->Data.PTR.pNameHost);
                break;
            }
        }
    }
    if (records) {
        DnsRecordListFree(reinterpret_cast<PDNS_RECORD>(records), DnsFreeRecordList);
    }
    return static_cast<int>(status);
}

void CodePageUpperCaseInPlace(std::string& text)
{
    if (!text.empty()) {
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    }
}
