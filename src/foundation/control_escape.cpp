#include "foundation/control_escape.h"

#include "foundation/cp1252.h"

namespace {

// The control character that starts at `at`, as its code point; -1 for none. `size` is
// how many bytes it takes.
long controlAt(std::string_view text, std::size_t at, TextEncoding encoding, std::size_t& size) {
    auto byte = (unsigned char)text[at];
    size = 1;
    if (byte < 0x20 || byte == 0x7F) return byte;
    if (encoding == TextEncoding::Windows1252) {
        char32_t c = Cp1252ToUnicode(byte);
        return c >= 0x80 && c <= 0x9F ? (long)c : -1;
    }
    if (byte == 0xC2 && at + 1 < text.size()) {
        auto next = (unsigned char)text[at + 1];
        if (next >= 0x80 && next <= 0x9F) {
            size = 2;
            return next;
        }
    }
    return -1;
}

// Whether a backslash before this position would read as the start of an escape.
bool startsEscape(std::string_view text, std::size_t at, TextEncoding encoding) {
    if (at >= text.size()) return false;
    char c = text[at];
    std::size_t size;
    return c == '\\' || c == 'n' || c == 'r' || c == 't' || c == 'x' ||
           controlAt(text, at, encoding, size) >= 0;
}

void appendEscape(std::string& out, long control) {
    static const char HEX[] = "0123456789abcdef";
    out += '\\';
    switch (control) {
    case '\n':
        out += 'n';
        break;
    case '\r':
        out += 'r';
        break;
    case '\t':
        out += 't';
        break;
    default:
        out += 'x';
        out += HEX[(control >> 4) & 0xF];
        out += HEX[control & 0xF];
    }
}

} // namespace

std::string EscapeControls(std::string_view text, TextEncoding encoding) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t size;
        long control = controlAt(text, at, encoding, size);
        if (control >= 0) {
            appendEscape(out, control);
        } else {
            out += text[at];
            if (text[at] == '\\' && startsEscape(text, at + 1, encoding)) out += '\\';
        }
        at += size;
    }
    return out;
}
