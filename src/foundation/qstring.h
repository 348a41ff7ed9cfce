// qstring: the foundation's growable text string, in an 8-bit or a 16-bit form.
// The program works in the 8-bit form; most operations refuse the 16-bit form
// with a logged message and a neutral result.
#pragma once

#include <cstdint>

using qchar16 = std::uint16_t;

class qstring {
  public:
    enum : std::uint32_t { WIDE_FORM = 1 };

    explicit qstring(int sizeHint = 0);
    qstring(const char* text);
    qstring(const qstring& other);
    qstring(qstring&& other) noexcept;
    qstring(const char* text, int from, int to); // characters [min(from,to), max(from,to))
    ~qstring();

    void Free();
    void Resize(int n);
    // Exactly these bytes (a counted text from a file); an empty text takes no buffer.
    void Assign(const char* bytes, int length);
    // Takes bytes[0..length] (terminated at length) without owning them: they live as
    // long as the document that holds this string (its arena) and are never freed here.
    // The first change that needs more room copies the text to a buffer of its own.
    void SetUnowned(char* bytes, int length);
    int Length() const;
    bool IsEmpty() const;
    bool IsNotEmpty() const { return !IsEmpty(); }
    void Clear();
    bool IsUnicode() const { return flags & WIDE_FORM; }
    int Capacity() const { return size; }

    qstring& operator=(const char* text);
    qstring& operator=(const qstring& other);
    qstring& operator=(qstring&& other) noexcept;
    qstring& operator=(const qchar16* text);
    qstring& operator=(int value);

    qstring& operator+=(const char* text);
    qstring& operator+=(const qstring& other);
    qstring& operator+=(char c);
    qstring& operator+=(int value);
    qstring& operator+=(double value);

    char& operator[](int i);
    const char& operator[](int i) const;

    bool operator==(const char* other) const;
    bool operator!=(const char* other) const { return !(*this == other); }
    bool operator==(const qstring& other) const { return *this == other.Text(); }

    // The text as 8-bit characters: the buffer, "" without one, "<unicodestr-nyi>" in 16-bit form.
    const char* Text() const;
    operator const char*() const { return Text(); }

    int Find(char c) const;
    int Find(const char* text) const;
    int FindLast(char c) const;
    bool Contains(const char* text) const;
    bool BeginsWith(const char* text) const;
    bool BeginsWith(const qchar16* text) const;
    bool EndsWith(const char* text) const;
    qstring GetSubstring(int from, int to = -1) const; // inclusive

    void ToUpper();
    void ToLower();
    void CutLastChar();
    void CutTrailingSpaces();
    void ReplaceAll(char from, char to);
    bool ReplaceFirst(const char* from, const char* to);
    void ReplaceAll(const char* from, const char* to);
    bool CutFile();
    bool CutPath();

    void ConvertToHTML();
    void DoubleAmpersands();
    void URLDecode();
    void ASCII2UC();

  private:
    enum : std::uint32_t { UNOWNED = 2 };

    void setText8(const char* text, int length);
    void releaseAndSetForm(bool unicode);
    void appendBytes(const char* bytes, int count);
    // The character at i, or null (after any report) where only a terminator can be answered.
    char* slotAt(int i, const char* form) const;

    // A string takes 16 bytes, documents hold many: flags and size side by side, and one
    // buffer, read as 8-bit text or as 16-bit units as the form says.
    std::uint32_t flags = 0;
    int size = 0;
    union {
        char* text = nullptr;
        qchar16* wtext;
    };
};
