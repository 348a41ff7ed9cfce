// Feeds arbitrary bytes to the settings reader: it must neither crash, hang, leak nor
// read outside the file, and what it writes must read back.
#include "foundation/qinfo.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static const std::string input = "/tmp/vantry-fuzz-" + std::to_string(getpid()) + ".ini";
    static const std::string output = input + ".out";
    if (std::FILE* f = std::fopen(input.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    {
        QInfo info(input.c_str());
        qstring value;
        info.GetString("global.dateformat", value);
        info.GetInt("a.b", 0);
        info.GetBool("t.k", false);
        info.SetString("global.view_flags", "0x110");
        info.Write(output.c_str());
    }
    QInfo again(output.c_str());
    again.GetInt("global.view_flags", 0);
    return 0;
}
