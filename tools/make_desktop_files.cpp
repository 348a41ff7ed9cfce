// Writes the desktop entry and the MIME type that an installed vantry ships, from the same
// texts the program registers for the user when it runs from its build tree.
#include "app/desktop_entry.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) std::cerr << "make_desktop_files: can't write " << path << "\n";
    return (bool)out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_desktop_files DESKTOP_FILE MIME_FILE\n";
        return 2;
    }
    bool ok = writeFile(argv[1], DesktopEntryText("vantry"));
    ok = writeFile(argv[2], MimeTypeText()) && ok;
    return ok ? 0 : 1;
}
