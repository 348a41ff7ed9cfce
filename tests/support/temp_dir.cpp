#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

TempDir::TempDir() {
    previous = std::filesystem::current_path().string();
    std::string pattern = (std::filesystem::temp_directory_path() / "vantry-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path = pattern;
    std::filesystem::current_path(path);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    std::filesystem::remove_all(path, ignored);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}
