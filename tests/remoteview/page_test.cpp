#include "remoteview/httpserver_vantry.h"

#include "model/vcollviewer.h"
#include "model/vtodo.h"
#include "net/global.h"
#include "remoteview/remote_document.h"
#include "support/http_client.h"
#include "support/log_capture.h"
#include "support/model_builders.h"

#include <cstdio>
#include <cstring>
#include <gmock/gmock.h>
#include <regex>
#include <string>
#include <vector>

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace http_test;

namespace {

// A page says what it is and how its text is encoded.
std::string Ok(const std::string& charset) {
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=" + charset + "\r\n\r\n";
}
const std::string OK = Ok("windows-1252");

std::string Head(bool iPad) {
    return std::string("<html><head><title>Vantry Server - remote view") + (iPad ? " / iPad" : "") +
           "</title><style type=\"text/css\">\n"
           "body {\n  padding-left: 0px;\n  background-color: #FFFFFF\n}\n"
           ".treetext {\n  margin-left: 0px;\n  font-family: verdana,arial,helvetica;\n"
           "  font-size: 12;\n  color: #000000;\n  background-color: #FFFFC0\n}\n"
           ".normaltext {\n  position: absolute;\n  top: 8px;\n  margin-left: 200px;\n"
           "  font-family: verdana,arial,helvetica;\n  font-size: " +
           (iPad ? "26" : "12") +
           ";\n  color: #000000;\n  background-color: #000000\n}\n"
           ".error {\n  font-family: verdana,arial,helvetica;\n  font-size: " +
           (iPad ? "30" : "20") + ";\n  color: #FF0000;\n}\n</style>\n</head><body>\n";
}

std::string Id(const VNode* node) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", node ? node->Serial() : 0u);
    return text;
}

std::string Nbsp(int level) {
    std::string s;
    for (int i = 0; i < 3 * level; ++i)
        s += "&nbsp;";
    return s;
}

std::string FolderRow(const VNode* folder, int level, const std::string& text) {
    return "<tr bgcolor=#FFFFC0 border=0><td><a href=\"view?root=" + Id(folder) + "\">" +
           Nbsp(level) + "+" + text + "</a></td></tr>\n";
}

std::string PathRow(const VNode* up, const std::string& title) {
    return "<tr bgcolor=#FFFF00 border=0><td><a href=\"view?root=" + Id(up) +
           "\">Current path: " + title + " (click to move up)</a></td></tr>\n";
}

std::string ItemRow(const VNode* node, int level, const std::string& text) {
    bool folder = std::string(node->TypeName()) == "group";
    std::string row =
        folder ? "<tr bgcolor=#DDDDDD border=0><td><a href=\"view?root=" + Id(node) + "\">"
               : "<tr bgcolor=#FFFFFF border=0><td>";
    return row + Nbsp(level) + text + (folder ? "</a>" : "") + "</td></tr>\n";
}

const char* const FOLDER_TABLE = "<table width=200 border=0 class=\"treetext\">\n";
const char* const ITEM_TABLE = "<table width=100% border=0 class=\"normaltext\">\n";
const char* const END = "</table></body></html>";

// A document of three top folders: "A&B" with a to-do, "Empty", and "Work" with the
// subfolder "Plans" that holds a to-do; served on loopback.
class RemoteViewTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        qnInit();
        work = AddNode<VGroup>(c);
        work->name = "Work";
        plans = AddNode<VGroup>(c, work);
        plans->name = "Plans";
        draft = AddNode<VTodo>(c, plans);
        draft->what = "draft";
        empty = AddNode<VGroup>(c);
        empty->name = "Empty";
        ab = AddNode<VGroup>(c);
        ab->name = "A&B";
        milk = AddNode<VTodo>(c, ab);
        milk->what = "Buy <milk>";
        // As the main window leaves it: the top folder's chain built.
        c.MakeView(c.root);
        server.SetBindAddress("127.0.0.1");
        server.Start(true);
        port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
        ASSERT_GT(port, 0);
    }
    void TearDown() override {
        server.Stop();
        LogTest::TearDown();
    }

    std::string Get(const std::string& target, const std::string& headers = "") {
        return Exchange(port, "GET " + target + " HTTP/1.1\r\n" + headers + "\r\n");
    }
    std::string FolderTable() {
        return FOLDER_TABLE + FolderRow(ab, 0, "A&amp;B") + FolderRow(empty, 0, "Empty") +
               FolderRow(work, 0, "Work") + FolderRow(plans, 1, "Plans") + "</table>\n";
    }
    std::string RootPage(const std::string& error = "") {
        return OK + Head(false) + error + FolderTable() + ITEM_TABLE +
               PathRow(nullptr, "All folders") + ItemRow(ab, 0, "A&amp;B") +
               ItemRow(milk, 1, "Buy &lt;milk&gt;") + ItemRow(empty, 0, "Empty") +
               ItemRow(work, 0, "Work") + ItemRow(plans, 1, "Plans") + ItemRow(draft, 2, "draft") +
               END;
    }
    // The target of the page's path-row link.
    static std::string PathLink(const std::string& page) {
        std::smatch m;
        std::regex row("<tr bgcolor=#FFFF00 border=0><td><a href=\"(view\\?root=[0-9A-F]{8})\">");
        return std::regex_search(page, m, row) ? "/" + m[1].str() : "<no path row>";
    }

    VCollection c;
    VCollectionViewer viewer{&c};
    LockedDocument document{viewer};
    QNHTTPServerVantry server{document, 0, 8, false};
    int port = 0;
    VGroup *work, *plans, *empty, *ab;
    VTodo *draft, *milk;
};

TEST_F(RemoteViewTest, TheRootPageByteForByte) {
    EXPECT_EQ(Get("/"), RootPage());
    // Any path serves; no root, an empty one, 0 and a value that is no number all mean the top.
    for (const char* target : {"/view", "/anything?x=1", "/view?root=", "/view?root=0",
                               "/view?root=00000000", "/view?root=ZZZ"})
        EXPECT_EQ(Get(target), RootPage()) << target;
}

// A UTF-8 document's pages say their charset right after <head>; Windows-1252 ones stay
// as they were (the page above).
TEST_F(RemoteViewTest, AUtf8DocumentsPagesSayTheirCharset) {
    c.ConvertTexts(TextEncoding::Utf8);
    work->name = "\xD0\xA0\xD0\xB0\xD0\xB1\xD0\xBE\xD1\x82\xD0\xB0"; // Работа
    std::string page = Get("/");
    std::string head = Head(false);
    head.insert(std::string("<html><head>").size(), "<meta charset=\"UTF-8\">");
    EXPECT_EQ(page.rfind(Ok("UTF-8") + head, 0), 0u) << page.substr(0, 200);
    EXPECT_THAT(page, HasSubstr("+\xD0\xA0\xD0\xB0\xD0\xB1\xD0\xBE\xD1\x82\xD0\xB0</a>"));
}

TEST_F(RemoteViewTest, AnIdentityOfNoNodeShowsTheRootWithTheError) {
    const std::string error = "<p class=\"error\">** An error occurred: Invalid node passed - "
                              "showing entire tree</p>";
    EXPECT_EQ(Get("/view?root=12345678"), RootPage(error));
    // The error belongs to that request alone.
    EXPECT_EQ(Get("/view?root=" + Id(work)), Get("/view?root=" + Id(work)));
    EXPECT_THAT(Get("/view?root=" + Id(work)), Not(HasSubstr("error occurred")));
    // A node taken out of the document is no longer accepted.
    std::string gone = Id(milk);
    c.RemoveTree(milk);
    EXPECT_THAT(Get("/view?root=" + gone), HasSubstr(error));
}

TEST_F(RemoteViewTest, AnIPadGetsItsTitleAndLargerFonts) {
    std::string page =
        Get("/", "User-Agent: Mozilla/5.0 (iPad; CPU OS 12_2 like Mac OS X) AppleWebKit\r\n");
    EXPECT_EQ(page.substr(0, OK.size() + Head(true).size()), OK + Head(true));
    EXPECT_THAT(page, HasSubstr("<title>Vantry Server - remote view / iPad</title>"));
    EXPECT_THAT(Get("/"), HasSubstr("<title>Vantry Server - remote view</title>"));
}

TEST_F(RemoteViewTest, AChosenFolderShowsItsChainUnderThePathRow) {
    // Levels in the folder table are those of the chain just built (Plans' own chain here).
    std::string page = Get("/view?root=" + Id(ab));
    EXPECT_EQ(page, OK + Head(false) + FolderTable() + ITEM_TABLE + PathRow(c.root, "A&amp;B") +
                        ItemRow(milk, 0, "Buy &lt;milk&gt;") + END);
    // Following the path row of a top folder leads to the root.
    EXPECT_EQ(PathLink(page), "/view?root=" + Id(c.root));
    EXPECT_EQ(Get(PathLink(page)), RootPage());
}

TEST_F(RemoteViewTest, ThePathRowLeadsUpToTheRoot) {
    std::string page = Get("/view?root=" + Id(plans));
    EXPECT_THAT(page, HasSubstr(PathRow(work, "Work / Plans") + ItemRow(draft, 0, "draft") + END));
    page = Get(PathLink(page));
    EXPECT_THAT(page, HasSubstr(PathRow(c.root, "Work") + ItemRow(plans, 0, "Plans") +
                                ItemRow(draft, 1, "draft") + END));
    EXPECT_EQ(Get(PathLink(page)), RootPage());
}

TEST_F(RemoteViewTest, AFolderWithoutShownChildrenHasNoRowsAtAll) {
    EXPECT_THAT(Get("/view?root=" + Id(empty)),
                HasSubstr(std::string("</table>\n") + ITEM_TABLE + END));
    // Items are not links, and choosing one shows nothing under it.
    EXPECT_THAT(Get("/view?root=" + Id(milk)),
                HasSubstr(std::string("</table>\n") + ITEM_TABLE + END));
}

TEST_F(RemoteViewTest, AtMostTenThousandItemRows) {
    // 500 children at most per folder: 25 folders of 450 to-dos each.
    for (int f = 0; f < 25; ++f) {
        VGroup* folder = AddNode<VGroup>(c, work);
        folder->name = ("bulk" + std::to_string(f)).c_str();
        for (int i = 0; i < 450; ++i)
            AddNode<VTodo>(c, folder)->name = "t";
    }
    std::string page = Get("/view?root=" + Id(work));
    size_t rows = 0;
    for (size_t at = page.find(ITEM_TABLE);
         (at = page.find("<tr bgcolor=#", at + 1)) != std::string::npos;)
        rows += page.compare(at, 20, "<tr bgcolor=#FFFF00 ") != 0;
    EXPECT_EQ(rows, 10000u);
    EXPECT_THAT(page, EndsWith(END));
}

// The page borrows the viewer's folder and chain; the main window finds its own again.
TEST_F(RemoteViewTest, TheMainWindowKeepsItsFolderAndChain) {
    viewer.folder = work;
    c.MakeView(work);
    auto chain = [&] {
        std::vector<std::pair<VNode*, int>> nodes;
        for (VNode* n = viewer.folder; n; n = n->nextShown)
            nodes.emplace_back(n, n->level);
        return nodes;
    };
    auto before = chain();
    ASSERT_EQ(before.size(), 3u);
    EXPECT_THAT(Get("/view?root=" + Id(plans)), HasSubstr("Work / Plans"));
    EXPECT_THAT(Get("/"), HasSubstr("All folders"));
    EXPECT_EQ(viewer.folder, work);
    EXPECT_EQ(chain(), before);
}

} // namespace

namespace {

// A subfolder follows its parent at once, never after the unrelated folders of its
// parent's level, where it would look like the child of the folder before it.
TEST_F(RemoteViewTest, TheFolderTableListsEachFolderRightAfterItsParent) {
    VGroup* alpha = AddNode<VGroup>(c);
    alpha->name = "Alpha";
    VGroup* sub = AddNode<VGroup>(c, alpha);
    sub->name = "Sub";
    VGroup* lower = AddNode<VGroup>(c);
    lower->name = "alpha";
    std::string page = Get("/");
    EXPECT_THAT(page, HasSubstr(FOLDER_TABLE + FolderRow(ab, 0, "A&amp;B") +
                                FolderRow(alpha, 0, "Alpha") + FolderRow(sub, 1, "Sub") +
                                FolderRow(empty, 0, "Empty") + FolderRow(work, 0, "Work") +
                                FolderRow(plans, 1, "Plans") + FolderRow(lower, 0, "alpha") +
                                "</table>\n"));
}

} // namespace

namespace {

// A document that only gets served shares one index and one folder table between its
// pages: they are the same pages, byte for byte.
TEST_F(RemoteViewTest, AFrozenDocumentServesTheSamePages) {
    std::vector<std::string> targets = {"/", "/view?root=" + Id(work), "/view?root=" + Id(plans),
                                        "/view?root=" + Id(ab), "/view?root=12345678"};
    std::vector<std::string> pages;
    for (const std::string& target : targets)
        pages.push_back(Get(target));
    c.FreezeStructure(true);
    for (int round = 0; round < 2; ++round) // the first fills what the second reuses
        for (size_t i = 0; i < targets.size(); ++i)
            EXPECT_EQ(Get(targets[i]), pages[i]) << targets[i] << " round " << round;
    c.FreezeStructure(false);
    // Thawed, changed and frozen again: nothing kept from before shows.
    VGroup* added = AddNode<VGroup>(c);
    added->name = "Added";
    c.FreezeStructure(true);
    std::string page = Get("/view?root=" + Id(added));
    EXPECT_THAT(page, HasSubstr(FolderRow(added, 0, "Added")));
    EXPECT_THAT(page, Not(HasSubstr("Invalid node passed")));
    c.FreezeStructure(false);
}

} // namespace
