// The files the document fuzz targets load and save, one set per process: in memory where
// there is such a folder (every save waits for the disk otherwise, which leaves the fuzzer
// little of its time), removed when the fuzzer ends without a crash.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

inline std::string ScratchFile(const char* target, const char* what) {
    static std::vector<std::string> made;
    static const bool removedAtExit = std::atexit([] {
                                          for (const std::string& path : made)
                                              std::remove(path.c_str());
                                      }) == 0;
    (void)removedAtExit;
    struct stat shm {};
    std::string folder = stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) ? "/dev/shm" : "/tmp";
    made.push_back(folder + "/vantry-fuzz-" + target + "-" + std::to_string(getpid()) + "-" + what +
                   ".vnt");
    return made.back();
}

// The bytes the fuzzer gives, as the file.
inline void WriteScratchFile(const std::string& path, const std::uint8_t* data, size_t size) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}
