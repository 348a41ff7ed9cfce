// Replacing a file so that it holds either its old bytes or all the new ones, whatever
// happens on the way (a full disk, a killed process, a power cut).
#pragma once

#include "foundation/qstring.h"

#include <functional>

// Where a replacement stopped.
enum class QReplaceStep {
    Done,
    NotAFile,    // the target (after its links) is a directory, a FIFO, a device...
    Links,       // the target's symbolic links go round in a circle or too deep
    ForeignLink, // a link the kernel would not follow: another user's, in a shared folder
    Temporary,   // no new file could be made in the target's folder
    Write,       // writing the new contents failed
    Flush,       // the new contents could not be flushed to the disk
    Rename,      // the new file could not take the target's place
};

struct QReplaceResult {
    QReplaceStep step = QReplaceStep::Done;
    int error = 0;              // errno of the failing step (0 when unknown)
    bool targetExisted = false; // there was a file to keep
    bool ok() const { return step == QReplaceStep::Done; }
};

// The file a path names once its symbolic links are followed; the path itself when it
// is no link. A link to a file that does not exist yet names where that file would be.
// False when the links go round in a circle or nest too deep (errno ELOOP), or when one
// of them is a link the kernel's protection of shared folders (fs.protected_symlinks)
// would not follow for this process (errno EACCES): it sits in a sticky folder anyone
// may write in (the temporary folder) and belongs neither to us nor to the folder's
// owner, so any local user may have planted it there to have a save of ours overwrite
// one of our files. Followed by hand, the kernel never gets to say no: this says it,
// whatever the sysctl is set to.
bool QResolveLinks(const char* path, qstring& resolved);

// Writes the new contents through `write` into a temporary file beside the file the
// target's links lead to, flushes it, renames it over that file and flushes the folder.
// The temporary has a short hidden name without the document extension, so a target
// name near the file system's limit still saves and a temporary left by a killed run
// is never taken for a document. On any failure the temporary goes and the target is
// untouched. `write` gets the temporary's path and answers whether all went well.
QReplaceResult QReplaceFile(const char* target, const std::function<bool(const char*)>& write);

// The same with bytes already in memory.
QReplaceResult QReplaceFile(const char* target, const void* bytes, long count);

// Prefix of the temporary files QReplaceFile makes.
constexpr const char* Q_REPLACE_TEMPORARY_PREFIX = ".vantry-";
