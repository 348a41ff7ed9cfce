#include "remoteview/page.h"

#include "foundation/qexpr.h"
#include "model/vcollection.h"
#include "model/vcollviewer.h"
#include "model/vfolderlist.h"
#include "model/vvisibility.h"

#include <cstdio>

namespace {

constexpr int MAX_ITEM_ROWS = 10000;

// The identity a page names a node by: 8 hexadecimal digits, 0 for none.
void writeLinkStart(PageWriter& w, const VNode* node) {
    char link[64];
    std::snprintf(link, sizeof link, "<a href=\"view?root=%08X", node ? node->Serial() : 0u);
    w.Write(link);
    w.Write(w.LinkQuery().c_str());
    w.Write("\">");
}

// "&nbsp;" three times per level, then the prefix and the node's long description.
void writeLabel(PageWriter& w, const VNode* node, int level, const char* prefix) {
    for (int i = 0; i < 3 * level; ++i)
        w.Write("&nbsp;");
    w.Write(prefix);
    qstring text;
    node->Describe(text, false);
    text.ConvertToHTML();
    w.Write(text);
}

} // namespace

VNode* ChooseNode(VCollection& c, const char* root, qstring& errorText, const PageCache* cache) {
    qstring expression("0x");
    if (root) expression += root;
    auto identity = (std::uint32_t)QEvaluate(expression);
    if (identity == 0) return c.root;
    if (cache && cache->filled) {
        auto found = cache->nodes.find(identity);
        if (found != cache->nodes.end()) return found->second;
    } else {
        for (VNode* node = c.root; node; node = node->next)
            if (node->Serial() == identity) return node;
    }
    errorText = "Invalid node passed - showing entire tree";
    return c.root;
}

std::string PageContentType(TextEncoding encoding) {
    return std::string("text/html; charset=") + TextEncodingName(encoding);
}

void WritePageHead(PageWriter& w, bool iPad, TextEncoding encoding) {
    w.Write("<html>");
    w.Write("<head>");
    if (encoding == TextEncoding::Utf8) w.Write("<meta charset=\"UTF-8\">");
    w.Write("<title>Vantry Server - remote view");
    if (iPad) w.Write(" / iPad");
    w.Write("</title>");
    w.Write("<style type=\"text/css\">\n");
    w.Write("body {\n");
    w.Write("  padding-left: 0px;\n");
    w.Write("  background-color: #FFFFFF\n");
    w.Write("}\n");
    w.Write(".treetext {\n");
    w.Write("  margin-left: 0px;\n");
    w.Write("  font-family: verdana,arial,helvetica;\n");
    w.Write("  font-size: 12;\n");
    w.Write("  color: #000000;\n");
    w.Write("  background-color: #FFFFC0\n");
    w.Write("}\n");
    w.Write(".normaltext {\n");
    w.Write("  position: absolute;\n");
    w.Write("  top: 8px;\n");
    w.Write("  margin-left: 200px;\n");
    w.Write("  font-family: verdana,arial,helvetica;\n");
    w.Write(iPad ? "  font-size: 26;\n" : "  font-size: 12;\n");
    w.Write("  color: #000000;\n");
    w.Write("  background-color: #000000\n");
    w.Write("}\n");
    w.Write(".error {\n");
    w.Write("  font-family: verdana,arial,helvetica;\n");
    w.Write(iPad ? "  font-size: 30;\n" : "  font-size: 20;\n");
    w.Write("  color: #FF0000;\n");
    w.Write("}\n");
    w.Write("</style>\n");
    w.Write("</head>");
    w.Write("<body>\n");
}

void WriteErrorParagraph(PageWriter& w, qstring& errorText) {
    if (errorText.IsEmpty()) return;
    w.Write("<p class=\"error\">");
    w.Write("** An error occurred: ");
    w.Write(errorText);
    w.Write("</p>");
    errorText.Clear();
}

void WriteFolderTable(PageWriter& w, VCollection& c) {
    w.Write("<table width=200 border=0 class=\"treetext\">\n");
    for (const VFolderEntry& entry : FolderList(c)) {
        VNode* folder = entry.folder;
        if (folder == c.root) continue;
        w.Write("<tr bgcolor=#FFFFC0 border=0>");
        w.Write("<td>");
        writeLinkStart(w, folder);
        writeLabel(w, folder, entry.depth - 1, "+");
        w.Write("</a>");
        w.Write("</td>");
        w.Write("</tr>\n");
    }
    w.Write("</table>\n");
}

void WriteItemTable(PageWriter& w, VNode* chosen) {
    w.Write("<table width=100% border=0 class=\"normaltext\">\n");
    VNode* first = chosen->nextShown;
    if (first && first->parent) {
        qstring title;
        chosen->FolderTitle(title);
        title.ConvertToHTML(); // folder names are the document's text, not markup
        w.Write("<tr bgcolor=#FFFF00 border=0>");
        w.Write("<td>");
        writeLinkStart(w, chosen->parent);
        w.Write("Current path: ");
        w.Write(title);
        w.Write(" (click to move up)");
        w.Write("</a>");
        w.Write("</td>");
        w.Write("</tr>\n");
    }
    int rows = 0;
    for (VNode* node = first; node && rows < MAX_ITEM_ROWS; node = node->nextShown, ++rows) {
        bool folder = IsFolder(node);
        w.Write(folder ? "<tr bgcolor=#DDDDDD border=0>" : "<tr bgcolor=#FFFFFF border=0>");
        w.Write("<td>");
        if (folder) writeLinkStart(w, node);
        writeLabel(w, node, node->level, "");
        if (folder) w.Write("</a>");
        w.Write("</td>");
        w.Write("</tr>\n");
    }
    w.Write("</table>");
}

void WritePageEnd(PageWriter& w) {
    w.Write("</body>");
    w.Write("</html>");
}

void WriteDocumentPart(PageWriter& w, VCollectionViewer& viewer, const char* root,
                       qstring& errorText, PageCache* cache) {
    VCollection& c = *viewer.collection;
    if (!c.StructureFrozen()) cache = nullptr;
    if (cache && (!cache->filled || cache->freeze != c.Freezes())) {
        *cache = PageCache();
        cache->freeze = c.Freezes();
        PageWriter table(w.LinkQuery());
        WriteFolderTable(table, c);
        cache->folderTable = table.Text();
        for (VNode* node = c.root; node; node = node->next)
            cache->nodes.emplace(node->Serial(), node);
        cache->filled = true;
    }
    VNode* chosen = ChooseNode(c, root, errorText, cache);
    VNode* previous = viewer.folder;
    viewer.folder = chosen;
    c.MakeView(chosen);
    WriteErrorParagraph(w, errorText);
    if (cache)
        w.Write(cache->folderTable.c_str());
    else
        WriteFolderTable(w, c);
    WriteItemTable(w, chosen);
    viewer.folder = previous;
    if (previous && previous != chosen) c.MakeView(previous);
}
