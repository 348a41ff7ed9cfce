#include "support/model_builders.h"

#include "foundation/qfile.h"
#include "model/vnode.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {
std::string scratchFile() {
    return (std::filesystem::temp_directory_path() /
            ("vantry-model-" + std::to_string(::getpid()) + ".bin"))
        .string();
}
} // namespace

std::string RecordBytes(VNode& node) {
    std::string path = scratchFile();
    {
        QFile file(path.c_str(), QFile::WRITE);
        node.Save(file);
    }
    std::string bytes = ReadWholeFile(path);
    std::remove(path.c_str());
    return bytes;
}

std::string DocumentBytes(VCollection& collection) {
    std::string path = scratchFile();
    collection.Save(path.c_str());
    std::string bytes = ReadWholeFile(path);
    std::remove(path.c_str());
    return bytes;
}

void LoadBytes(VCollection& collection, const std::string& bytes) {
    std::string path = scratchFile();
    WriteWholeFile(path, bytes);
    collection.Load(path.c_str());
    std::remove(path.c_str());
}
