#include "foundation/qfile.h"

#include <filesystem>

#include "foundation/qarena.h"
#include "foundation/qmessage.h"
#include "foundation/qshell.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

const char* streamMode(int mode) {
    switch (mode) {
    case QFile::READ:
        return "rb";
    case QFile::WRITE:
        return "wb";
    case QFile::READ_WRITE:
        return "rb+";
    case QFile::WRITE_READ:
        return "wb+";
    case QFile::READ_TEXT:
        return "r";
    case QFile::APPEND_TEXT:
        return "a";
    case QFile::APPEND_READ_TEXT:
        return "a+";
    case QFile::APPEND:
        return "ab";
    case QFile::WRITE_TEXT:
        return "w";
    default:
        return nullptr;
    }
}

// Counted strings are read through one buffer per thread that only grows, so many
// short strings cost one allocation; any QFile's destruction releases it.
thread_local char* stringBuffer = nullptr;
thread_local int stringBufferSize = 0;

char* stringBufferFor(int length) {
    if (stringBufferSize < length + 1) {
        char* grown = (char*)std::realloc(stringBuffer, length + 1);
        if (!grown) return nullptr;
        stringBuffer = grown;
        stringBufferSize = length + 1;
    }
    return stringBuffer;
}

void releaseStringBuffer() {
    std::free(stringBuffer);
    stringBuffer = nullptr;
    stringBufferSize = 0;
}

} // namespace

QFile::QFile(const char* path, int modeAndOptions) : mode(modeAndOptions & 0xFF) {
    SetName(path);
    const char* how = streamMode(mode);
    if (!how || !path) return;
    bool preload = modeAndOptions & MEMORY;
    if (preload && mode == READ_TEXT) {
        qerr(QLOC("QFile::QFile"),
             "QFile ctor: READ_TEXT and MEMORY flags are incompatible (buggy); turning off MEMORY");
        preload = false;
    } else if (preload && mode != READ) {
        qwarn(QLOC("QFile::QFile"), "QFile:ctor MEMORY req'd for '%s' but incompatible mode given",
              path);
        preload = false;
    }
    stream = std::fopen(path, how);
    if (!stream || !preload) return;

    // Only a regular file has a size worth allocating for: a directory reports an
    // enormous one, a FIFO or a device none that means anything.
    struct stat info {};
    if (fstat(fileno(stream), &info) != 0 || !S_ISREG(info.st_mode)) return;
    long fileSize = (long)info.st_size;
    if (fileSize <= 0) return;
    memory = (unsigned char*)std::malloc(fileSize);
    if (!memory) {
        qwarn(QLOC("QFile::QFile"), "QFile:ctor; not enough memory to preload file '%s'", path);
        return;
    }
    memorySize = (long)std::fread(memory, 1, fileSize, stream);
    state |= OWNS_MEMORY;
    std::fclose(stream);
    stream = nullptr;
}

QFile::QFile() : mode(WRITE), memoryOutput(true) {
    SetName("(memory)");
}

QFile::QFile(const unsigned char* bytes, long count) : mode(READ) {
    SetName("(memory)");
    if (!bytes || count <= 0) return;
    memory = const_cast<unsigned char*>(bytes); // read only: the bytes are not ours
    memorySize = count;
}

QFile::~QFile() {
    Close();
    releaseStringBuffer();
}

bool QFile::Close() {
    bool ok = !writeFailed;
    if (stream) {
        if (output && outputSize > 0)
            ok = std::fwrite(output, 1, outputSize, stream) == (size_t)outputSize && ok;
        ok = std::fclose(stream) == 0 && ok;
        stream = nullptr;
    }
    std::free(output);
    output = nullptr;
    memoryOutput = false;
    outputSize = outputCapacity = outputPosition = 0;
    if (state & OWNS_MEMORY) std::free(memory);
    memory = nullptr;
    memorySize = memoryPosition = 0;
    state = 0;
    return ok;
}

int QFile::streamRoom(int wanted) const {
    if (readEnd < 0) return wanted;
    long room = readEnd - std::ftell(stream);
    if (room < 0) room = 0;
    return room < wanted ? (int)room : wanted;
}

char QFile::GetChar() {
    if (state & HAS_PUSHBACK) {
        state &= ~HAS_PUSHBACK;
        return pushedBack;
    }
    if (memory) {
        if (memoryPosition < memoryEnd()) return (char)memory[memoryPosition++];
        memoryPosition = memoryEnd() + 1;
        return (char)EOF;
    }
    if (!stream || streamRoom(1) == 0) return (char)EOF;
    return (char)std::fgetc(stream);
}

void QFile::UnGetChar(char c) {
    pushedBack = c;
    state |= HAS_PUSHBACK;
}

bool QFile::IsEOF() const {
    if (state & HAS_PUSHBACK) return false;
    if (memory) return memoryPosition > memoryEnd();
    return !stream || std::feof(stream) || (readEnd >= 0 && std::ftell(stream) >= readEnd);
}

int QFile::Read(void* buffer, int n) {
    if (!buffer || n <= 0) return 0;
    auto* out = (unsigned char*)buffer;
    int delivered = 0;
    if (state & HAS_PUSHBACK) {
        state &= ~HAS_PUSHBACK;
        out[delivered++] = (unsigned char)pushedBack;
    }
    int wanted = n - delivered;
    if (wanted == 0) return delivered;
    if (memory) {
        long end = memoryEnd();
        long remaining = end - memoryPosition;
        if (remaining < 0) remaining = 0;
        long count = wanted < remaining ? wanted : remaining;
        if (count > 0) std::memcpy(out + delivered, memory + memoryPosition, count);
        // Like a stream, a read that asks for more than is left sets the end state.
        memoryPosition = count < wanted ? end + 1 : memoryPosition + count;
        return delivered + (int)count;
    }
    if (!stream) return delivered;
    return delivered + (int)std::fread(out + delivered, 1, streamRoom(wanted), stream);
}

bool QFile::readSlow16(std::int16_t& value) {
    unsigned char b[2];
    if (Read(b, 2) != 2) return false;
    value = (std::int16_t)(b[0] | (b[1] << 8));
    return true;
}

bool QFile::readSlow32(std::int32_t& value) {
    unsigned char b[4];
    if (Read(b, 4) != 4) return false;
    value = (std::int32_t)((std::uint32_t)b[0] | ((std::uint32_t)b[1] << 8) |
                           ((std::uint32_t)b[2] << 16) | ((std::uint32_t)b[3] << 24));
    return true;
}

int QFile::ReadString(qstring& s) {
    int length = readCountedString(s);
    if (length > 0 && convertFrom != convertTo) {
        std::string converted =
            ConvertText(std::string_view(s.Text(), (size_t)s.Length()), convertFrom, convertTo);
        s.Assign(converted.data(), (int)converted.size());
        length = (int)converted.size();
    }
    return length;
}

int QFile::readCountedString(qstring& s) {
    if (!IsOpen()) return 0;
    std::int16_t length = 0;
    if (!Read16(length)) return 0;
    if (length < 0) {
        qwarn(QLOC("QFile::Read"), "QFile:Read(s); bad string length %d in '%s'", length,
              GetName());
        s = "";
        return 0;
    }
    if (length == 0) {
        s.Assign("", 0);
        return 0;
    }
    if (const unsigned char* bytes = memoryBytes(length)) {
        // Straight from the preloaded file: no detour through the shared buffer.
        if (textArena)
            s.SetUnowned(textArena->CopyText((const char*)bytes, length), length);
        else
            s.Assign((const char*)bytes, length);
        return length;
    }
    char* buffer = stringBufferFor(length);
    if (!buffer) {
        qwarn(QLOC("QFile::Read"), "QFile:Read(s); out of memory");
        return 0;
    }
    int got = Read(buffer, length);
    buffer[got] = 0; // a cut-off file yields what it still holds
    s = buffer;
    return got;
}

int QFile::writeSlow(const void* buffer, int n) {
    if (!canWrite() || !buffer || n <= 0) return 0;
    if (!buffersOutput()) return (int)std::fwrite(buffer, 1, n, stream);
    long end = outputPosition + n;
    if (end > outputCapacity) {
        long grown = outputCapacity ? outputCapacity * 2 : 64 * 1024;
        while (grown < end)
            grown *= 2;
        auto* bigger = (unsigned char*)std::realloc(output, grown);
        if (!bigger) {
            writeFailed = true;
            return 0;
        }
        output = bigger;
        outputCapacity = grown;
    }
    std::memcpy(output + outputPosition, buffer, n);
    outputPosition = end;
    if (end > outputSize) outputSize = end;
    return n;
}

int QFile::WriteString(const qstring& s, bool withLength) {
    if (!canWrite()) return 0;
    int length = s.Length();
    const char* text = s.Text();
    if (length > MAX_STRING) {
        // The count is 16 bits and signed when read: keep what always reads back.
        qwarn(QLOC("QFile::Write"), "QFile:Write(s); text of %d bytes cut to %d bytes", length,
              MAX_STRING);
        length = MAX_STRING;
    }
    int written = 0;
    if (withLength && Write16((std::int16_t)length)) written += 2;
    return written + Write(text, length);
}

long QFile::BeginSize() {
    long position = Tell();
    Write32(0);
    return position;
}

void QFile::EndSize(long position) {
    if (!canWrite()) return;
    if (output && position >= 0 && position + 4 <= outputSize) {
        // Buffered output: patch the size field where it lies, no seeking.
        auto size = (std::uint32_t)(outputPosition - position);
        unsigned char* at = output + position;
        at[0] = (unsigned char)size;
        at[1] = (unsigned char)(size >> 8);
        at[2] = (unsigned char)(size >> 16);
        at[3] = (unsigned char)(size >> 24);
        return;
    }
    long end = Tell();
    Seek(position, 0);
    Write32((std::int32_t)(end - position));
    Seek(end, 0);
}

bool QFile::Seek(long offset, int origin) {
    if (origin < 0 || origin > 2) return false;
    state &= ~HAS_PUSHBACK;
    if (memory || buffersOutput()) {
        long size = memory ? memorySize : outputSize;
        long& position = memory ? memoryPosition : outputPosition;
        long target = origin == 0 ? offset : origin == 1 ? size - offset : position + offset;
        if (target < 0) target = 0;
        if (target > size) target = size;
        position = target;
        return true;
    }
    if (!stream) return false;
    if (origin == 0) return std::fseek(stream, offset, SEEK_SET) == 0;
    if (origin == 1) return std::fseek(stream, -offset, SEEK_END) == 0;
    return std::fseek(stream, offset, SEEK_CUR) == 0;
}

long QFile::Tell() const {
    if (memory) return memoryPosition > memorySize ? memorySize : memoryPosition;
    if (buffersOutput()) return outputPosition;
    return stream ? std::ftell(stream) : -1;
}

void QFile::Printf(const char* fmt, ...) {
    if (!canWrite()) return;
    va_list args;
    va_start(args, fmt);
    if (buffersOutput()) {
        char* text = nullptr;
        int length = vasprintf(&text, fmt, args);
        if (length > 0) Write(text, length);
        std::free(text);
    } else {
        std::vfprintf(stream, fmt, args);
    }
    va_end(args);
}

bool QFileWrite(const char* path, const void* bytes, long count) {
    std::FILE* f = path ? std::fopen(path, "wb") : nullptr;
    if (!f) return false;
    bool ok = true;
    if (bytes && count > 0) ok = std::fwrite(bytes, 1, count, f) == (size_t)count;
    return std::fclose(f) == 0 && ok;
}

bool QFileRead(const char* path, void* buffer, long count) {
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return false;
    if (buffer && count > 0) std::fread(buffer, 1, count, f);
    std::fclose(f);
    return true;
}

long QFileSize(const char* path) {
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return -1;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fclose(f);
    return size;
}

bool QOpen(const char* target) {
    if (QShellOpen(target)) return true;
    qwarn(QLOC("QOpen"), "QOpen: can't open %s", target ? target : "");
    return false;
}

bool QNotePad(const char* path) {
    qstring native(path);
#ifdef _WIN32
    native.ReplaceAll('/', '\\');
#endif
    if (QShellOpen(native)) return true;
    qwarn(QLOC("QNotePad"), "QNotePad: can't open %s", path ? path : "");
    return false;
}

std::string QAbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code failed;
    std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    if (failed) return path;
    return absolute.lexically_normal().string();
}
