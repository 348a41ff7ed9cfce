#include "foundation/text_encoding.h"

#include "foundation/cp1252.h"

#include <array>
#include <cstring>
#include <strings.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

// The next character of UTF-8 bytes at i (moved past it); U+FFFD for a broken sequence.
char32_t nextUtf8(const char* bytes, std::int32_t& i, std::int32_t length) {
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    return c < 0 ? REPLACEMENT : (char32_t)c;
}

void appendUtf8(std::string& out, char32_t c) {
    char buffer[4];
    std::int32_t n = 0;
    U8_APPEND_UNSAFE(buffer, n, c);
    out.append(buffer, (size_t)n);
}

bool encodable(char32_t c) {
    return c != 0 && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

// Upper case of every Windows-1252 byte's character, made once.
const std::array<char32_t, 256>& upper1252() {
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[(size_t)b] = UpperCharacter(Cp1252ToUnicode((unsigned char)b));
        return t;
    }();
    return table;
}

// Where a text ranks a character (see CompareTexts).
std::uint32_t rankOf(char32_t c) {
    unsigned char byte = 0;
    return UnicodeToCp1252(c, byte) ? byte : 0x100 + (std::uint32_t)c;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The rank of the unit of ordering at the start of a text: a character, or one byte of a
// broken sequence (after every character); 0 at the end. `length`: its bytes.
std::uint32_t unitRank(const char* text, std::int32_t& length) {
    std::int32_t available = 0;
    while (available < 4 && text[available])
        ++available;
    if (available == 0) {
        length = 0;
        return 0;
    }
    std::int32_t i = 0;
    UChar32 c;
    U8_NEXT(text, i, available, c);
    if (c < 0) {
        length = 1;
        return 0x200000 + (unsigned char)text[0];
    }
    length = i;
    return rankOf((char32_t)c);
}

// The upper-case characters of a text, one at a time.
class UpperReader {
  public:
    UpperReader(const char* text, std::int32_t length, TextEncoding encoding)
        : bytes(text), end(length), utf8(encoding == TextEncoding::Utf8) {}

    bool AtEnd(std::int32_t at) const { return at >= end; }
    // The character at `at` in upper case; `at` moves past it.
    char32_t Next(std::int32_t& at) const {
        auto byte = (unsigned char)bytes[at];
        if (!utf8) {
            ++at;
            return upper1252()[byte];
        }
        if (byte < 0x80) {
            ++at;
            return byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte;
        }
        return UpperCharacter(nextUtf8(bytes, at, end));
    }

  private:
    const char* bytes;
    std::int32_t end;
    bool utf8;
};

} // namespace

const char* TextEncodingName(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? "UTF-8" : "windows-1252";
}

bool TextEncodingNamed(std::string_view name, TextEncoding& encoding) {
    for (TextEncoding e : {TextEncoding::Windows1252, TextEncoding::Utf8}) {
        std::string_view known = TextEncodingName(e);
        if (known.size() == name.size() &&
            strncasecmp(known.data(), name.data(), known.size()) == 0) {
            encoding = e;
            return true;
        }
    }
    return false;
}

std::u32string DecodeText(std::string_view bytes, TextEncoding encoding) {
    std::u32string text;
    text.reserve(bytes.size());
    if (encoding == TextEncoding::Windows1252) {
        for (char c : bytes)
            text += Cp1252ToUnicode((unsigned char)c);
        return text;
    }
    auto length = (std::int32_t)bytes.size();
    for (std::int32_t i = 0; i < length;)
        text += nextUtf8(bytes.data(), i, length);
    return text;
}

std::string EncodeText(std::u32string_view text, TextEncoding encoding, int* lost) {
    std::string bytes;
    bytes.reserve(text.size());
    int missing = 0;
    for (char32_t c : text) {
        unsigned char byte = 0;
        if (!encodable(c)) {
            bytes += '?';
            ++missing;
        } else if (encoding == TextEncoding::Utf8) {
            appendUtf8(bytes, c);
        } else if (UnicodeToCp1252(c, byte)) {
            bytes += (char)byte;
        } else {
            bytes += '?';
            ++missing;
        }
    }
    if (lost) *lost = missing;
    return bytes;
}

bool CanHold(std::u32string_view text, TextEncoding encoding) {
    for (char32_t c : text) {
        unsigned char byte = 0;
        if (!encodable(c)) continue; // lost in either encoding: no reason to change
        if (encoding == TextEncoding::Windows1252 && !UnicodeToCp1252(c, byte)) return false;
    }
    return true;
}

std::string TextToUtf8(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        // Sound UTF-8 (nearly always) goes out as it is; broken bytes become U+FFFD.
        auto length = (std::int32_t)bytes.size();
        std::int32_t i = 0;
        bool sound = true;
        while (i < length && sound) {
            UChar32 c;
            U8_NEXT(bytes.data(), i, length, c);
            sound = c >= 0;
        }
        if (sound) return std::string(bytes);
    }
    return EncodeText(DecodeText(bytes, encoding), TextEncoding::Utf8);
}

std::string TextFromUtf8(std::string_view utf8, TextEncoding encoding, int* lost) {
    return EncodeText(DecodeText(utf8, TextEncoding::Utf8), encoding, lost);
}

std::string ConvertText(std::string_view bytes, TextEncoding from, TextEncoding to, int* lost) {
    if (from == to) {
        if (lost) *lost = 0;
        return std::string(bytes);
    }
    if (to == TextEncoding::Utf8) {
        if (lost) *lost = 0;
        return TextToUtf8(bytes, from);
    }
    return EncodeText(DecodeText(bytes, from), to, lost);
}

int CompareTexts(const char* a, const char* b, TextEncoding encoding) {
    if (encoding == TextEncoding::Windows1252) return std::strcmp(a, b);
    std::size_t i = 0;
    while (a[i] && a[i] == b[i])
        ++i;
    auto byteA = (unsigned char)a[i], byteB = (unsigned char)b[i];
    if (byteA == byteB) return 0;
    if (byteA < 0x80 && byteB < 0x80) return byteA < byteB ? -1 : 1;
    // Units (characters, or single broken bytes) start at every byte that is no
    // continuation byte, so the last such byte up to i starts a unit in both texts; with
    // only continuation bytes in reach, no character can span i and i starts one.
    std::size_t at = i;
    if (isContinuation(byteA) || isContinuation(byteB)) {
        std::size_t k = 1;
        while (k <= 3 && k <= i && isContinuation((unsigned char)a[i - k]))
            ++k;
        if (k <= 3 && k <= i) at = i - k;
    }
    for (;;) {
        std::int32_t lengthA = 0, lengthB = 0;
        std::uint32_t rankA = unitRank(a + at, lengthA), rankB = unitRank(b + at, lengthB);
        if (rankA != rankB) return rankA < rankB ? -1 : 1;
        if (rankA == 0) return 0;
        at += (std::size_t)lengthA; // equal ranks: the same bytes
    }
}

char32_t UpperCharacter(char32_t character) {
    if (character < 0x80)
        return character >= 'a' && character <= 'z' ? character - 'a' + 'A' : character;
    return (char32_t)u_toupper((UChar32)character);
}

std::string UpperText(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        // Broken bytes stay as they were: upper-casing changes no byte but a letter's.
        std::string out;
        out.reserve(bytes.size());
        auto length = (std::int32_t)bytes.size();
        for (std::int32_t i = 0; i < length;) {
            std::int32_t from = i;
            UChar32 c;
            U8_NEXT(bytes.data(), i, length, c);
            if (c < 0)
                out.append(bytes.data() + from, (size_t)(i - from));
            else
                appendUtf8(out, UpperCharacter((char32_t)c));
        }
        return out;
    }
    std::string out(bytes);
    for (char& c : out) {
        unsigned char upper = 0;
        if (UnicodeToCp1252(upper1252()[(unsigned char)c], upper)) c = (char)upper;
    }
    return out;
}

bool ContainsUpper(const char* text, TextEncoding encoding, std::string_view upperUtf8Needle) {
    if (!text || !text[0] || upperUtf8Needle.empty()) return false;
    // The filter asks this of every text of every node: a usual needle is decoded on the
    // stack, not on the heap.
    char32_t onStack[64];
    std::u32string onHeap;
    std::u32string_view needle;
    if (upperUtf8Needle.size() <= 64) {
        std::size_t count = 0;
        auto length = (std::int32_t)upperUtf8Needle.size();
        for (std::int32_t i = 0; i < length;)
            onStack[count++] = nextUtf8(upperUtf8Needle.data(), i, length);
        needle = std::u32string_view(onStack, count);
    } else {
        onHeap = DecodeText(upperUtf8Needle, TextEncoding::Utf8);
        needle = onHeap;
    }
    auto length = (std::int32_t)std::strlen(text);
    UpperReader reader(text, length, encoding);
    for (std::int32_t start = 0; start < length;) {
        std::int32_t at = start;
        std::size_t k = 0;
        while (k < needle.size() && !reader.AtEnd(at) && reader.Next(at) == needle[k])
            ++k;
        if (k == needle.size()) return true;
        if (reader.AtEnd(at) && k > 0) return false; // the rest is shorter than the needle
        // On to the next character.
        std::int32_t next = start;
        reader.Next(next);
        start = next;
    }
    return false;
}
