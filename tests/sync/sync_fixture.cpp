#include "sync/sync_fixture.h"

#include "model/vcollection.h"
#include "model/vgroup.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/model_builders.h"
#include "test_paths.h"

#include <sstream>
#include <sys/stat.h>

namespace {

const char* PYTHON = "/usr/bin/python3";

} // namespace

SyncTest::Result SyncTest::Vantry(const std::string& arguments) {
    Result r;
    r.code = Shell(std::string(VANTRY_BINARY) + " " + arguments, r.output);
    return r;
}

std::string SyncTest::Device(const std::string& command) {
    std::string output;
    int code = Shell(std::string(PYTHON) + " " SYNC_TEST_DIR "/caldav_device.py " +
                         Quoted(server.CalendarUrl()) + " test secret " + command,
                     output);
    EXPECT_EQ(code, 0) << command << ": " << output;
    return output;
}

std::map<std::string, std::string> SyncTest::DeviceItems() {
    std::map<std::string, std::string> items;
    std::istringstream lines(Device("list"));
    for (std::string line; std::getline(lines, line);) {
        std::size_t tab = line.find('\t');
        if (tab != std::string::npos && line.compare(0, 8, "WARNING:") != 0)
            items[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return items;
}

void SyncTest::MakeDocument(const std::string& file, const std::vector<std::string>& texts) {
    VCollection c;
    auto* work = AddNode<VGroup>(c);
    work->name = "Work";
    for (const std::string& text : texts)
        AddNode<VTodo>(c, work)->what = text.c_str();
    ASSERT_TRUE(c.Save(file.c_str()));
}

// An item's text as a list shows it, without an action's days.
std::string ItemText(const VNode* node) {
    if (auto* task = dynamic_cast<const VTask*>(node)) return task->what.Text();
    qstring text;
    node->Describe(text, false);
    return text.Text();
}

DocumentItems SyncTest::Items(const std::string& file) {
    VCollection c;
    c.Load(file.c_str());
    DocumentItems items;
    for (VNode* node = c.root->next; node; node = node->next) {
        if (node->IsFolderKind()) continue;
        std::string uid = c.extensions.Field(node, VExtensions::UID);
        items[uid.empty() ? "(no UID) " + ItemText(node) : uid] = ItemText(node);
    }
    return items;
}

VNode* SyncTest::Find(VCollection& c, const std::string& text) {
    for (VNode* node = c.root->next; node; node = node->next)
        if (ItemText(node) == text) return node;
    ADD_FAILURE() << "no item \"" << text << "\"";
    return nullptr;
}

void SyncTest::WritePasswordFile(const std::string& file, const std::string& password) {
    WriteWholeFile(file, password + "\n");
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
}

void SyncTest::Connect(const std::string& file) {
    WritePasswordFile("password", "secret");
    Result r =
        Vantry("--sync-account " + Quoted(accountUrl.empty() ? server.CalendarUrl() : accountUrl) +
               " --user test --password-file password " + file);
    ASSERT_EQ(r.code, 0) << r.output;
}
