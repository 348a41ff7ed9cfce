// The remote view's page: the page head, the folder table (the folders of the folder tree)
// on the left and the item table (the shown chain of one chosen folder) on the right.
// Every folder on the page links to "view?root=" and its node's serial number.
#pragma once

#include "foundation/qstring.h"
#include "foundation/text_encoding.h"

#include <string>

class VCollection;
class VNode;

// Collects the page's text; the server sends it once the tree is left alone again.
class PageWriter {
  public:
    void Write(const char* text) { page += text; }
    const std::string& Text() const { return page; }

  private:
    std::string page;
};

// The node the "root" query value names (read as hexadecimal): the top folder for none,
// an empty value or 0; the top folder and errorText set when it names no node of the document.
VNode* ChooseNode(VCollection& collection, const char* root, qstring& errorText);

// A UTF-8 document's page says so; a Windows-1252 one's stays as it always was.
void WritePageHead(PageWriter& w, bool iPad, TextEncoding encoding = TextEncoding::Windows1252);
// The error paragraph when there is an error text, which is then emptied.
void WriteErrorParagraph(PageWriter& w, qstring& errorText);
// Every folder the folder tree shows, in its order, but the top one; labels indented by
// the levels the last shown chain left.
void WriteFolderTable(PageWriter& w, VCollection& collection);
// The path row and the shown chain of the chosen node (as last built), at most 10000 rows.
void WriteItemTable(PageWriter& w, VNode* chosen);
void WritePageEnd(PageWriter& w);
