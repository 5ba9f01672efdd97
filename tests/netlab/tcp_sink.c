/* A raw printer's socket for the lab: accepts connections on a TCP port
 * and appends every byte received to a file, as a printer on port 9100
 * takes a job. Runs inside a printer's namespace until the lab ends it.
 *   tcp_sink PORT FILE */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: tcp_sink PORT FILE\n");
        return 2;
    }
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    struct sockaddr_in address = {0};
    address.sin_family = AF_INET;
    address.sin_port = htons((unsigned short)atoi(argv[1]));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (listener < 0 || bind(listener, (struct sockaddr *)&address, sizeof address) != 0 || listen(listener, 4) != 0) {
        perror("tcp_sink");
        return 1;
    }
    for (;;) {
        int connection = accept(listener, NULL, NULL);
        if (connection < 0) continue;
        FILE *out = fopen(argv[2], "ab");
        char buffer[65536];
        ssize_t got;
        while ((got = read(connection, buffer, sizeof buffer)) > 0)
            if (out) fwrite(buffer, 1, (size_t)got, out);
        if (out) fclose(out);
        close(connection);
    }
}
