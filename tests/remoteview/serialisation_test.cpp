// Pages are built while another thread changes the document through the same
// serialisation; run under ThreadSanitizer too.
#include "remoteview/httpserver_vantry.h"

#include "model/vcollviewer.h"
#include "model/vtodo.h"
#include "net/global.h"
#include "remoteview/remote_document.h"
#include "support/http_client.h"
#include "support/model_builders.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

using namespace http_test;

namespace {

TEST(RemoteViewSerialisation, PagesStayWholeWhileTheDocumentChanges) {
    qnInit();
    VCollection c;
    VCollectionViewer viewer(&c);
    LockedDocument document(viewer);
    QNHTTPServerVantry server(document, 0, 8, false);
    server.SetBindAddress("127.0.0.1");
    server.Start(true);
    int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
    ASSERT_GT(port, 0);

    // The user's side: folders and items come and go, get renamed, and the view moves.
    std::atomic<bool> changing{true};
    std::thread user([&] {
        std::vector<VNode*> folders;
        for (int step = 0; step < 400; ++step) {
            document.Run([&](VCollectionViewer& v) {
                VNode* parent = folders.empty() ? (VNode*)c.root : folders[step % folders.size()];
                if (step % 5 == 4 && !folders.empty()) {
                    VNode* gone = folders.back();
                    folders.pop_back();
                    if (v.folder == gone || v.folder->IsDescendantOf(gone)) v.folder = c.root;
                    folders.erase(std::remove_if(folders.begin(), folders.end(),
                                                 [&](VNode* f) { return f->IsDescendantOf(gone); }),
                                  folders.end());
                    c.RemoveTree(gone);
                } else {
                    auto* folder = AddNode<VGroup>(c, parent);
                    folder->name = ("folder " + std::to_string(step)).c_str();
                    AddNode<VTodo>(c, folder)->what = ("item " + std::to_string(step)).c_str();
                    folders.push_back(folder);
                    if (parent != c.root)
                        parent->name = ("renamed " + std::to_string(step)).c_str();
                    v.folder = folder;
                }
                c.MakeView(v.folder);
            });
        }
        changing = false;
    });

    // Browsers: each follows the identities of nodes the document holds at the time.
    std::atomic<int> pages{0};
    std::atomic<int> broken{0};
    std::vector<std::thread> browsers;
    for (int b = 0; b < 3; ++b)
        browsers.emplace_back([&, b] {
            for (int i = 0; i < 60; ++i) {
                std::string target = "/";
                document.Run([&](VCollectionViewer&) {
                    int n = 0;
                    for (VNode* node = c.root; node; node = node->next)
                        if (++n == 2 + (b + i) % 7) {
                            char id[16];
                            std::snprintf(id, sizeof id, "%08X", node->Serial());
                            target = std::string("/view?root=") + id;
                        }
                });
                std::string page = Exchange(port, "GET " + target + " HTTP/1.0\r\n\r\n");
                bool whole = page.rfind("HTTP/1.0 200 OK\r\nContent-Type: text/html; "
                                        "charset=windows-1252\r\n\r\n<html><head>",
                                        0) == 0 &&
                             page.size() > 22 &&
                             page.compare(page.size() - 22, 22, "</table></body></html>") == 0;
                broken += !whole;
                ++pages;
            }
        });
    for (auto& t : browsers)
        t.join();
    user.join();
    EXPECT_FALSE(changing.load());
    EXPECT_EQ(pages.load(), 180);
    EXPECT_EQ(broken.load(), 0);
    server.Stop();
}

} // namespace
