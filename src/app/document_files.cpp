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

std::unique_ptr<VCollection> ReadDocumentFile(const char* path, int dateFormat,
                                              VLoadResult* result) {
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
    VLoadResult read = loaded->Load(copied ? temporary.Text() : path);
    std::remove(temporary);
    if (result) *result = read;
    if (!read.isDocument) {
        std::string text = std::string("Can't open ") + path + ": not a Vantry document.";
        ShowMessage(text.c_str(), "Error", MsgButtons::OK, MsgIcon::Error);
        return nullptr;
    }
    loaded->fileName = path;
    return loaded;
}

void DamagedFile::Opened(const char* path, const VLoadResult& result) {
    file.clear();
    if (!result.Damaged()) return;
    file = QAbsolutePath(path);
    text = result.DamageText(path);
    std::string told = text + ".\n\nWhat could be read is shown. Saving over the file loses the "
                              "rest for good; save under another name to keep the file as it is.";
    ShowMessage(told.c_str(), "Damaged document", MsgButtons::OK, MsgIcon::Warning);
}

bool DamagedFile::MaySaveTo(const char* path) const {
    if (file.empty() || QAbsolutePath(path) != file) return true;
    std::string question = text + ".\n\nSave over it? What could not be read is lost.";
    return ShowMessage(question.c_str(), "Damaged document", MsgButtons::YesNo,
                       MsgIcon::Warning) == MsgAnswer::Yes;
}

void DamagedFile::Saved(const char* path) {
    if (!file.empty() && QAbsolutePath(path) == file) file.clear();
}
