// QFile: a file over a standard stream, or served from memory after one preload.
// Its binary primitives fix the encodings of the document file: little-endian
// integers, counted strings and self-counting size fields.
#pragma once

#include "foundation/qobject.h"
#include "foundation/qstring.h"
#include "foundation/text_encoding.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

class QArena;

class QFile : public QObject {
  public:
    enum Mode {
        READ = 1,             // "rb"
        WRITE = 2,            // "wb"
        READ_WRITE = 3,       // "rb+"
        WRITE_READ = 4,       // "wb+"
        READ_TEXT = 5,        // "r"
        APPEND_TEXT = 6,      // "a"
        APPEND_READ_TEXT = 7, // "a+"
        APPEND = 8,           // "ab"
        WRITE_TEXT = 9,       // "w"
        MEMORY = 0x100,       // option: read the whole file into memory at once
    };

    // Longest text a counted string can hold.
    static constexpr int MAX_STRING = 32767;

    QFile(const char* path, int modeAndOptions);
    // Writes into memory only (OutputBytes, OutputSize), with no file behind it.
    QFile();
    // Reads these bytes, which must outlive the QFile, as if they were a file.
    QFile(const unsigned char* bytes, long count);
    ~QFile() override; // closes like Close()
    QFile(const QFile&) = delete;
    QFile& operator=(const QFile&) = delete;

    const char* ClassName() const override { return "QFile"; }
    bool IsOpen() const { return stream || memory || memoryOutput; }
    bool IsMemory() const { return memory != nullptr; }

    // Writes out what is buffered and closes; false when any byte could not be written.
    bool Close();

    // Reads stop at this offset as if the file ended there (-1: the real end), so a
    // reader of one record can never run into the next.
    void SetReadEnd(long end) { readEnd = end; }

    char GetChar(); // at the end: EOF as a byte (0xFF), and IsEOF becomes true
    void UnGetChar(char c);
    bool IsEOF() const;

    int Read(void* buffer, int n);
    int ReadString(qstring& s); // a counted string; answers its length
    bool Read16(std::int16_t& value) {
        const unsigned char* b = memoryBytes(2);
        if (!b) return readSlow16(value);
        value = (std::int16_t)(b[0] | (b[1] << 8));
        return true;
    }
    bool Read32(std::int32_t& value) {
        const unsigned char* b = memoryBytes(4);
        if (!b) return readSlow32(value);
        value = (std::int32_t)((std::uint32_t)b[0] | ((std::uint32_t)b[1] << 8) |
                               ((std::uint32_t)b[2] << 16) | ((std::uint32_t)b[3] << 24));
        return true;
    }
    // Counted strings read from memory are placed in the arena instead of a heap block
    // each: the document's loader keeps its texts there as long as the nodes live.
    void SetTextArena(QArena* arena) { textArena = arena; }
    // Counted strings read from now on are converted between the encodings: reading a
    // document's records this way turns every text of it into the other encoding.
    void SetTextConversion(TextEncoding from, TextEncoding to) {
        convertFrom = from;
        convertTo = to;
    }

    int Write(const void* buffer, int n) {
        if (!output || !buffer || n <= 0 || outputCapacity - outputPosition < n)
            return writeSlow(buffer, n);
        std::memcpy(output + outputPosition, buffer, n);
        outputPosition += n;
        if (outputPosition > outputSize) outputSize = outputPosition;
        return n;
    }
    // A string, with its 16-bit count when withLength; answers the bytes written, count included.
    int WriteString(const qstring& s, bool withLength = true);
    bool Write16(std::int16_t value) {
        unsigned char b[2] = {(unsigned char)(value & 0xFF), (unsigned char)((value >> 8) & 0xFF)};
        return Write(b, 2) == 2;
    }
    bool Write32(std::int32_t value) {
        auto v = (std::uint32_t)value;
        unsigned char b[4] = {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16),
                              (unsigned char)(v >> 24)};
        return Write(b, 4) == 4;
    }

    long BeginSize();
    void EndSize(long position);

    // What a binary writer has written so far (before Close).
    const unsigned char* OutputBytes() const { return output; }
    long OutputSize() const { return outputSize; }

    // origin 0: from the start; 1: back from the end; 2: from the current position.
    bool Seek(long offset, int origin);
    long Tell() const;

    void Printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

  private:
    enum StateFlags { HAS_PUSHBACK = 1, OWNS_MEMORY = 2 };

    std::FILE* stream = nullptr;
    int mode = 0;
    char pushedBack = 0;
    int state = 0;
    unsigned char* memory = nullptr;
    long memorySize = 0;
    long memoryPosition = 0;
    long readEnd = -1;
    // Binary output ("wb") is collected here and written at Close, so the size fields that
    // EndSize patches cost no seeks on the stream.
    unsigned char* output = nullptr;
    long outputSize = 0;
    long outputCapacity = 0;
    long outputPosition = 0;
    bool writeFailed = false;
    bool memoryOutput = false; // a writer with no file: the output stays in memory

    QArena* textArena = nullptr;
    TextEncoding convertFrom = TextEncoding::Windows1252;
    TextEncoding convertTo = TextEncoding::Windows1252;

    int readCountedString(qstring& s);

    long memoryEnd() const { return readEnd >= 0 && readEnd < memorySize ? readEnd : memorySize; }
    // The next n preloaded bytes, consumed, when they are all there and nothing was
    // pushed back; else null and nothing consumed.
    const unsigned char* memoryBytes(int n) {
        if (!memory || (state & HAS_PUSHBACK) || memoryEnd() - memoryPosition < n) return nullptr;
        const unsigned char* at = memory + memoryPosition;
        memoryPosition += n;
        return at;
    }
    bool readSlow16(std::int16_t& value);
    bool readSlow32(std::int32_t& value);
    int writeSlow(const void* buffer, int n);
    int streamRoom(int wanted) const;
    bool buffersOutput() const { return mode == WRITE && (stream || memoryOutput); }
    bool canWrite() const { return stream || memoryOutput; }
};

// Whole-file helpers.
bool QFileWrite(const char* path, const void* bytes, long count);
bool QFileRead(const char* path, void* buffer, long count);
long QFileSize(const char* path); // -1 when the file cannot be opened
// The path from the root, "." and ".." steps resolved (links are left as they are), so it
// names the same file from any working folder.
std::string QAbsolutePath(const std::string& path);

// Hands a path or URL to the system's handler; warns when that fails.
bool QOpen(const char* target);
// Opens a text file with the system's handler, the path in native separators.
bool QNotePad(const char* path);
