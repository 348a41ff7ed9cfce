// Writes a few sound documents as the starting corpus of the loader fuzzer.
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    std::string folder = argv[1];

    VCollection empty;
    empty.Save((folder + "/empty.vnt").c_str());

    VCollection doc;
    auto* projects = new VGroup(&doc);
    projects->name = "Projects";
    doc.Add(projects, doc.root);
    auto* anna = new VContact(&doc);
    anna->firstName = "Anna";
    doc.Add(anna, projects);
    auto* task = new VTask(&doc);
    task->what = "Report";
    task->startDate = "2010-06-25";
    task->assignees[0] = anna;
    doc.Add(task, projects);
    doc.Add(new VTodo(&doc), projects);
    doc.Add(new VCall(&doc), doc.root);
    doc.Add(new VMail(&doc), doc.root);
    doc.Add(new VPay(&doc), doc.root);
    doc.Add(new VAgreement(&doc), projects);
    doc.Add(new VFact(&doc), projects);
    doc.Add(new VFile(&doc), projects);
    doc.Add(new VURL(&doc), projects);
    doc.Save((folder + "/every-kind.vnt").c_str());

    // The same with accents, as Windows-1252 and changed to UTF-8.
    projects->name = "Caf\xE9 \x80";
    anna->lastName = "M\xFCller";
    doc.Save((folder + "/windows-1252.vnt").c_str());
    doc.ConvertTexts(TextEncoding::Utf8);
    doc.Save((folder + "/utf-8.vnt").c_str());
    return 0;
}
