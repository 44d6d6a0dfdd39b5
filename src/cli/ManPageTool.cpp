// velor-flash-manpage PROSE OUT: writes velor-flash's manual page, the hand-written PROSE merged
// with the option tables. Run at build time, in English.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/text/ManPage.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: velor-flash-manpage PROSE OUT\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string prose{std::istreambuf_iterator<char>(in), {}};
    if (!in && !in.eof()) {
        std::fprintf(stderr, "velor-flash-manpage: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << velor::cli::ManPage(prose);
    return out.flush() ? 0 : 1;
}
