// make_landscape - writes heightd2.bmp, heightc2.bmp and clouds.bmp into
// the folder given as its argument.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/landscape/landscape.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_landscape DIR\n");
        return 2;
    }
    errno = 0;
    if (!write_landscape(argv[1])) {
        std::fprintf(stderr, "make_landscape: cannot write the data files into '%s'%s%s\n", argv[1],
                     errno ? ": " : "", errno ? std::strerror(errno) : "");
        return 1;
    }
    return 0;
}
