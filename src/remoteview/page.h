// The remote view's page: the page head, the folder table (the folders of the folder tree)
// on the left and the item table (the shown chain of one chosen folder) on the right.
// Every folder on the page links to "view?root=" and its node's serial number.
#pragma once

#include "foundation/qstring.h"
#include "foundation/text_encoding.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>

class VCollection;
class VCollectionViewer;
class VNode;

// Collects the page's text; the server sends it once the tree is left alone again.
class PageWriter {
  public:
    // linkQuery: added to every link's query ("&key=..."), so a page reached with the
    // server's token leads on with it.
    explicit PageWriter(std::string linkQuery = "") : linkQuery(std::move(linkQuery)) {}
    void Write(const char* text) { page += text; }
    const std::string& Text() const { return page; }
    // The page as written, which leaves the writer empty.
    std::string Take() { return std::move(page); }
    const std::string& LinkQuery() const { return linkQuery; }

  private:
    std::string page;
    std::string linkQuery;
};

// What the pages of a frozen document (VCollection::FreezeStructure) share: the folder
// table and every node by its identity. Only used while the document is frozen.
struct PageCache {
    bool filled = false;
    std::uint64_t freeze = 0; // VCollection::Freezes when filled
    std::string folderTable;
    std::unordered_map<std::uint32_t, VNode*> nodes;
};

// The node the "root" query value names (read as hexadecimal): the top folder for none,
// an empty value or 0; the top folder and errorText set when it names no node of the document.
VNode* ChooseNode(VCollection& collection, const char* root, qstring& errorText,
                  const PageCache* cache = nullptr);

// The page's Content-Type: HTML in the encoding of the document's texts.
std::string PageContentType(TextEncoding encoding);
// A UTF-8 document's page says so; a Windows-1252 one's stays as it always was.
void WritePageHead(PageWriter& w, bool iPad, TextEncoding encoding = TextEncoding::Windows1252);
// The error paragraph when there is an error text, which is then emptied.
void WriteErrorParagraph(PageWriter& w, qstring& errorText);
// Every folder the folder tree shows, in its order, but the top one; labels indented by
// their depth below the top folder.
void WriteFolderTable(PageWriter& w, VCollection& collection);
// The path row and the shown chain of the chosen node (as last built), at most 10000 rows.
void WriteItemTable(PageWriter& w, VNode* chosen);
void WritePageEnd(PageWriter& w);

// The part of the page that reads the document, to run while nothing else touches it:
// chooses the node, builds its shown chain, writes the error paragraph and both tables.
// The viewer's folder and chain are put back afterwards, so a window's item view never
// shows the page's folder (a viewer without a folder has nothing to put back).
void WriteDocumentPart(PageWriter& w, VCollectionViewer& viewer, const char* root,
                       qstring& errorText, PageCache* cache = nullptr);
