// Feeds arbitrary bytes to the document loader: it must neither crash, hang, leak nor
// read outside the file, and what it loads must save and load again, in either text
// encoding.
#include "model/vcollection.h"
#include "model/vnode.h"
#include "scratch_files.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static const std::string input = ScratchFile("load", "in");
    static const std::string output = ScratchFile("load", "out");
    WriteScratchFile(input, data, size);
    VCollection collection;
    collection.Load(input.c_str());
    for (VNode* node = collection.root->next; node; node = node->next) {
        qstring text;
        node->Describe(text, false);
        node->FolderTitle(text);
    }
    // Any bytes through the character-wise order and filter, in both encodings.
    collection.filterText = "\xC3\x89T";
    collection.MakeView(collection.root);
    collection.ConvertTexts(TextEncoding::Utf8);
    collection.MakeView(collection.root);
    collection.Save(output.c_str());
    VCollection again;
    again.Load(output.c_str());
    return 0;
}
