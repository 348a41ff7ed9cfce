#include "foundation/localetext.h"

#include "foundation/cp1252.h"

#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <strings.h>

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += (char)c;
    } else if (c < 0x800) {
        out += (char)(0xC0 | (c >> 6));
        out += (char)(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += (char)(0xE0 | (c >> 12));
        out += (char)(0x80 | ((c >> 6) & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    } else {
        out += (char)(0xF0 | (c >> 18));
        out += (char)(0x80 | ((c >> 12) & 0x3F));
        out += (char)(0x80 | ((c >> 6) & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    }
}

// The characters of UTF-8 text; false when it is not well-formed UTF-8.
bool decodeUtf8(const std::string& text, std::u32string& out) {
    out.clear();
    for (size_t i = 0; i < text.size();) {
        auto byte = (unsigned char)text[i];
        int extra = byte < 0x80           ? 0
                    : (byte >> 5) == 0x6  ? 1
                    : (byte >> 4) == 0xE  ? 2
                    : (byte >> 3) == 0x1E ? 3
                                          : -1;
        if (extra < 0 || i + extra >= text.size()) return false;
        char32_t c = extra == 0 ? byte : byte & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto next = (unsigned char)text[i + k];
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms and surrogates are no characters.
        static const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        out += c;
        i += extra + 1;
    }
    return true;
}

} // namespace

LocaleText LocaleText::FromEnvironment() {
    // Asked of a locale object of its own: the process's locale stays "C" for numbers.
    locale_t environment = newlocale(LC_CTYPE_MASK, "", (locale_t)0);
    if (!environment) {
        // A locale the system doesn't have: its name still says the character set.
        const char* name = nullptr;
        for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"})
            if ((name = std::getenv(variable)) && name[0]) break;
        const char* dot = name ? std::strchr(name, '.') : nullptr;
        return LocaleText(dot && (!strncasecmp(dot, ".utf-8", 6) || !strncasecmp(dot, ".utf8", 5)));
    }
    const char* codeset = nl_langinfo_l(CODESET, environment);
    bool utf8 = codeset && (!strcasecmp(codeset, "UTF-8") || !strcasecmp(codeset, "utf8"));
    freelocale(environment);
    return LocaleText(utf8);
}

std::string LocaleText::ToTerminal(const std::string& documentText) const {
    if (!utf8) return documentText;
    std::string out;
    out.reserve(documentText.size() + documentText.size() / 8);
    for (char byte : documentText) {
        if ((unsigned char)byte < 0x80)
            out += byte;
        else
            appendUtf8(out, Cp1252ToUnicode((unsigned char)byte));
    }
    return out;
}

std::string LocaleText::FromTerminal(const std::string& typed) const {
    std::u32string characters;
    if (!utf8 || !decodeUtf8(typed, characters)) return typed;
    return UnicodeToCp1252(characters);
}
