#include "DnsLookupWin.h"

#include <windows.h>
#include <windns.h>

#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "ReverseName.h"
#include "WindowMessageQueue.h"

namespace {

constexpr int kTimedOut = ERROR_TIMEOUT;

// What the query thread and its caller share; whichever ends last frees it.
struct PendingLookUp {
    std::string query;
    std::string label;
    DNS_STATUS status = 0;
    HANDLE done = nullptr;

    ~PendingLookUp()
    {
        if (done) {
            CloseHandle(done);
        }
    }
};

void Query(PendingLookUp& lookUp)
{
    PDNS_RECORDA records = nullptr;
    lookUp.status = DnsQuery_A(lookUp.query.c_str(), DNS_TYPE_PTR, DNS_QUERY_STANDARD, nullptr,
                               reinterpret_cast<PDNS_RECORD*>(&records), nullptr);
    if (lookUp.status == 0) {
        // The first PTR record: a resolver may put other records (an EDNS
        // OPT record, say) into the list as well.
        for (PDNS_RECORDA record = records; record; record = record->pNext) {
            if (record->wType == DNS_TYPE_PTR && record->Data.PTR.pNameHost) {
                lookUp.label = HostLabel(record->Data.PTR.pNameHost);
                break;
            }
        }
    }
    if (records) {
        DnsRecordListFree(reinterpret_cast<PDNS_RECORD>(records), DnsFreeRecordList);
    }
}

}  // namespace

int WindowsDnsResolver::LookUpDnsName(Ipv4Address address, std::string& hostLabel, int timeoutMilliseconds)
{
    hostLabel.clear();
    if (timeoutMilliseconds <= 0) {
        return kTimedOut;
    }
    auto lookUp = std::make_shared<PendingLookUp>();
    lookUp->query = ReverseLookupName(address);
    lookUp->done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!lookUp->done) {
        return static_cast<int>(GetLastError());
    }
    try {
        std::thread([lookUp] {
            Query(*lookUp);
            SetEvent(lookUp->done);
        }).detach();
    } catch (const std::system_error&) {
        return kTimedOut;
    }
    WindowMessageQueue queue(lookUp->done);
    WindowSearchClock clock;
    const auto answered = [&lookUp] { return WaitForSingleObject(lookUp->done, 0) == WAIT_OBJECT_0; };
    if (PumpMessages(queue, clock, timeoutMilliseconds, answered) != PumpEnd::Finished) {
        return kTimedOut;
    }
    hostLabel = lookUp->label;
    return static_cast<int>(lookUp->status);
}

void CodePageUpperCaseInPlace(std::string& text)
{
    if (!text.empty()) {
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    }
}

void OemToAnsiCodePageInPlace(std::string& text)
{
    if (text.empty()) {
        return;
    }
    const int units = MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (units <= 0) {
        return;
    }
    std::vector<wchar_t> wide(static_cast<std::size_t>(units));
    MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return;
    }
    std::string converted(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), units, converted.data(), bytes, nullptr, nullptr);
    text = std::move(converted);
}
