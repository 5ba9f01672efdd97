#include "PtrAnswer.h"

#include <arpa/nameser.h>
#include <netinet/in.h>
#include <resolv.h>

#include "ReverseName.h"

int HostLabelFromPtrAnswer(const unsigned char* answer, std::size_t bufferSize, int reportedLength,
                           std::string& hostLabel)
{
    hostLabel.clear();
    if (reportedLength < 0) {
        return -1;
    }
    const std::size_t length = static_cast<std::size_t>(reportedLength) < bufferSize
                                   ? static_cast<std::size_t>(reportedLength)
                                   : bufferSize;
    ns_msg message;
    if (ns_initparse(answer, static_cast<int>(length), &message) != 0) {
        return -1;
    }
    for (int i = 0; i < ns_msg_count(message, ns_s_an); ++i) {
        ns_rr record;
        if (ns_parserr(&message, ns_s_an, i, &record) != 0 || ns_rr_type(record) != ns_t_ptr) {
            continue;
        }
        char target[NS_MAXDNAME];
        if (dn_expand(ns_msg_base(message), ns_msg_end(message), ns_rr_rdata(record), target, sizeof target) < 0) {
            return -1;
        }
        hostLabel = HostLabel(target);
        return 0;
    }
    return -1;
}
