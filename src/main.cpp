// Entry point of vantry. Until the window lands it offers the version and usage.
#include <cstdio>
#include <cstring>

namespace {

const char* const VERSION_TEXT = "Vantry v4.0.4";

void printUsage(std::FILE* out) {
    std::fprintf(out,
                 "%s\n"
                 "usage: vantry [FILE.vnt]\n"
                 "       vantry --help\n"
                 "       vantry --version\n",
                 VERSION_TEXT);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && !std::strcmp(argv[1], "--version")) {
        std::printf("%s\n", VERSION_TEXT);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--help") != 0) {
        std::fprintf(stderr, "vantry: unknown argument '%s'\n", argv[1]);
        printUsage(stderr);
        return 1;
    }
    printUsage(stdout);
    return 0;
}
