/* Preloaded into the lab's snmpd. The agent answers a broadcast request
 * from the address the request was sent to; the kernel refuses a
 * broadcast source with ENETUNREACH and the agent gives up. Retrying once
 * with the source left to the kernel makes it answer from its own address,
 * as a printer does. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <netinet/in.h>
#include <string.h>
#include <sys/socket.h>

typedef ssize_t (*sendmsg_function)(int, const struct msghdr*, int);

ssize_t sendmsg(int socket, const struct msghdr* message, int flags)
{
    static sendmsg_function real_sendmsg;
    if (!real_sendmsg)
        real_sendmsg = (sendmsg_function)dlsym(RTLD_NEXT, "sendmsg");
    ssize_t sent = real_sendmsg(socket, message, flags);
    if (sent >= 0 || errno != ENETUNREACH || !message->msg_control)
        return sent;

    struct msghdr retry = *message;
    char control[256];
    if (message->msg_controllen > sizeof control)
        return sent;
    memcpy(control, message->msg_control, message->msg_controllen);
    retry.msg_control = control;
    for (struct cmsghdr* header = CMSG_FIRSTHDR(&retry); header; header = CMSG_NXTHDR(&retry, header)) {
        if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
            struct in_pktinfo* info = (struct in_pktinfo*)CMSG_DATA(header);
            info->ipi_spec_dst.s_addr = INADDR_ANY;
            info->ipi_addr.s_addr = INADDR_ANY;
        }
    }
    return real_sendmsg(socket, &retry, flags);
}
