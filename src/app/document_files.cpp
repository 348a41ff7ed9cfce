#include "app/document_files.h"

#include "foundation/qfile.h"
#include "foundation/qregularfile.h"
#include "foundation/qtempfile.h"
#include "model/vcollection.h"
#include "platform/ui.h"

#include <cstdio>
#include <string>

std::unique_ptr<VCollection> NewCollection(int dateFormat) {
    auto fresh = std::make_unique<VCollection>();
    fresh->dateFormat = dateFormat;
    return fresh;
}

void ReportUnreadable(const char* path) {
    qstring text("Can't open file (");
    text += path;
    text += ").";
    ShowMessage(text, "Error", MsgButtons::OK, MsgIcon::Error);
}

std::unique_ptr<VCollection> ReadDocumentFile(const char* path, int dateFormat) {
    // Only a regular file is read, and it is checked before the first byte is.
    std::string bytes;
    if (!QReadRegularFile(path, bytes)) {
        ReportUnreadable(path);
        return nullptr;
    }
    // The collection reads a copy, so the document file is open only for a moment; the
    // copy goes as soon as the collection holds what it read.
    qstring temporary = QTempFileName();
    bool copied = QFileWrite(temporary, bytes.data(), (long)bytes.size());
    std::unique_ptr<VCollection> loaded = NewCollection(dateFormat);
    loaded->Load(copied ? temporary.Text() : path);
    std::remove(temporary);
    loaded->fileName = path;
    return loaded;
}
