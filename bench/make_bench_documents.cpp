// Writes one generated document twice: as a .vnt file and as a Taskwarrior import (one
// JSON object per line), so bench/compare_taskwarrior.sh times both programs on the same
// items. Every item becomes a task: its one-line description, its folder path as the
// project, completed when done, waiting tasks as pending with the tag "waiting".
//
//   make_bench_documents NODES OUT.vnt OUT.json
#include "model/vcollection.h"
#include "support/generated_document.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void writeJsonString(std::FILE* out, const char* text) {
    std::fputc('"', out);
    for (const unsigned char* p = (const unsigned char*)text; *p; ++p) {
        if (*p == '"' || *p == '\\')
            std::fprintf(out, "\\%c", *p);
        else if (*p < 0x20)
            std::fprintf(out, "\\u%04x", *p);
        else
            std::fputc(*p, out);
    }
    std::fputc('"', out);
}

// The item's folder path with Taskwarrior's dots between the levels.
std::string projectOf(const VNode* node, const VNode* root) {
    std::vector<const char*> names;
    for (const VNode* folder = node->parent; folder && folder != root; folder = folder->parent)
        names.push_back(folder->name.Text());
    std::string project;
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        project += (project.empty() ? "" : ".") + std::string(*it);
    return project;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_bench_documents NODES OUT.vnt OUT.json\n");
        return 2;
    }
    VCollection c;
    GenerateDocument(c, DocumentShape{std::atoi(argv[1]), 10, 6, 42});
    if (!c.Save(argv[2])) return 1;

    std::FILE* out = std::fopen(argv[3], "w");
    if (!out) {
        std::fprintf(stderr, "make_bench_documents: can't write %s\n", argv[3]);
        return 1;
    }
    unsigned number = 0;
    for (VNode* node = c.root->next; node; node = node->next) {
        if (!std::strcmp(node->TypeName(), "group")) continue;
        qstring description;
        node->Describe(description, false);
        if (description.IsEmpty()) description = node->name;
        bool done = node->flags & DONE;
        std::fprintf(out, "{\"uuid\":\"00000000-0000-4000-8000-%012x\",", ++number);
        std::fprintf(out, "\"status\":\"%s\",\"entry\":\"20260101T090000Z\",",
                     done ? "completed" : "pending");
        if (done) std::fprintf(out, "\"end\":\"20260102T090000Z\",");
        if (node->flags & WAITING) std::fprintf(out, "\"tags\":[\"waiting\"],");
        std::string project = projectOf(node, c.root);
        if (!project.empty()) {
            std::fprintf(out, "\"project\":");
            writeJsonString(out, project.c_str());
            std::fputc(',', out);
        }
        std::fprintf(out, "\"description\":");
        writeJsonString(out, description.Text());
        std::fprintf(out, "}\n");
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
