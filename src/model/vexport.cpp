// The HTML export of a folder's shown chain.
#include "model/vcollection.h"

#include "foundation/qfile.h"
#include "foundation/qmessage.h"
#include "foundation/qreplace.h"
#include "foundation/qtime.h"

bool VCollection::ExportHTML(const char* title, VNode* folder, bool openAfterwards,
                             const char* path) const {
    qtrace(QLOC("VCollection::ExportHTML"), "VColl:ExportHTML viewRoot %p\n", (void*)folder);
    // Replaced in one step like a document: no half page, and a link that another user
    // planted under the name in a shared folder is not followed.
    QReplaceResult written = QReplaceFile(path, [&](const char* temporary) {
        QFile file(temporary, QFile::WRITE);
        if (!file.IsOpen()) return false;
        file.Printf("<html><head>");
        // Only a UTF-8 document says its charset: a Windows-1252 export stays as it was.
        if (textEncoding == TextEncoding::Utf8) file.Printf("<meta charset=\"UTF-8\">");
        file.Printf("<title>");
        file.Printf("%s\n", title);
        file.Printf("</title>");
        file.Printf("<body><font face=\"verdana\" size=\"-1\">");
        file.Printf("<b>%s - on %s</b><br /><br />\n", title, QCurrentDateText("%d-%m-%Y"));

        int openLists = 0;
        for (VNode* node = folder->nextShown; node; node = node->nextShown) {
            if (node->level > openLists) file.Printf("<ul>\n");
            for (int level = openLists; level > node->level; --level)
                file.Printf("</ul>\n");
            openLists = node->level;
            qstring text;
            node->Describe(text, false);
            text.ConvertToHTML();
            bool opensFolder = node->nextShown && node->nextShown->level > node->level;
            file.Printf(opensFolder ? "<li><b>%s</b></li>\n" : "<li>%s</li>\n", text.Text());
        }
        for (; openLists > 0; --openLists)
            file.Printf("</ul>\n");
        file.Printf("</font></body></html>");
        return file.Close();
    });
    if (!written.ok()) return false;
    if (openAfterwards) QNotePad(path);
    return true;
}
