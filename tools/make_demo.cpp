// Writes examples/demo.vnt: a small document with folders and an item of every kind,
// for trying the program and for the window tests.
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"

#include <cstdio>

namespace {

template <class Kind> Kind* add(VCollection& c, VNode* parent) {
    auto* node = new Kind(&c);
    c.Add(node, parent);
    return node;
}

VGroup* folder(VCollection& c, VNode* parent, const char* name, int type) {
    auto* f = add<VGroup>(c, parent);
    f->name = name;
    f->folderType = type;
    f->flags = EXPANDED;
    return f;
}

VTask* action(VCollection& c, VNode* parent, const char* what, const char* start, int days,
              int priority, int completion, VContact* who) {
    auto* t = add<VTask>(c, parent);
    t->what = what;
    t->flags = 0;
    t->startDate = start;
    t->duration = days;
    t->priority = priority;
    t->completion = completion;
    t->assignees[0] = who;
    return t;
}

} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "examples/demo.vnt";
    VCollection c;
    VGroup* people = folder(c, c.root, "People", FOLDER_CONTACT);
    auto* anna = add<VContact>(c, people);
    anna->firstName = "Anna";
    anna->lastName = "Zee";
    anna->initials = "AZ";
    anna->email = "anna@example.org";
    auto* bo = add<VContact>(c, people);
    bo->firstName = "Bo";
    bo->lastName = "Smit";
    bo->initials = "BS";
    bo->contactFlags = VContact::EXTERNAL;

    VGroup* work = folder(c, c.root, "Work", FOLDER_ACTION);
    VGroup* launch = folder(c, work, "Product launch", FOLDER_ACTION);
    action(c, launch, "Write the press release", "2026-12-07", 4, 2, 100, anna);
    action(c, launch, "Prepare the demo", "2026-12-09", 6, 1, 30, bo);
    action(c, launch, "Launch day", "2026-12-21", 1, 3, 0, anna);
    action(c, work, "Quarterly report & budget", "2026-12-14", 10, 1, 60, anna);
    auto* review = action(c, work, "Review the contracts", "2026-11-23", 5, 2, 80, bo);
    review->flags = 0;
    auto* plan = add<VTask>(c, work);
    plan->what = "Plan next year";
    auto* agreement = add<VAgreement>(c, work);
    agreement->agreement = "Delivery before Christmas";
    agreement->withWho = "Bo Smit";
    agreement->agreedOn = "2026-11-30";

    VGroup* home = folder(c, c.root, "Home", FOLDER_TODO);
    auto* milk = add<VTodo>(c, home);
    milk->what = "Buy milk";
    milk->flags = DONE;
    auto* tax = add<VTodo>(c, home);
    tax->what = "File the tax return";
    tax->priority = 3;
    auto* garden = add<VTodo>(c, home);
    garden->what = "Ask about the garden fence";
    garden->flags = WAITING;
    auto* call = add<VCall>(c, home);
    call->who = "the plumber";
    call->reason = "leaking tap";
    call->detail = "020 555 0134";
    call->priority = 2;
    auto* mail = add<VMail>(c, home);
    mail->who = "Grandma";
    mail->reason = "holiday photos";
    mail->detail = "grandma@example.org";
    auto* pay = add<VPay>(c, home);
    pay->who = "Energy company";
    pay->reason = "December bill";
    pay->detail = "$84";
    pay->account = "NL00 BANK 0123 4567 89";
    auto* fact = add<VFact>(c, home);
    fact->name = "Wifi";
    fact->description = "network vantry-home\r\npassword in the drawer";
    auto* site = add<VURL>(c, home);
    site->url = "https://vantry.app/";
    site->description = "Vantry web site";
    auto* file = add<VFile>(c, home);
    file->name = "Recipes";
    file->location = "/home/me/recipes.txt";
    VGroup* old = folder(c, home, "Old projects", FOLDER_NONE);
    old->flags |= INACTIVE;
    add<VTodo>(c, old)->what = "Paint the shed";

    if (!c.Save(path)) return 1;
    std::printf("wrote %s\n", path);
    return 0;
}
