#include "foundation/locale_text.h"

#include "foundation/control_escape.h"

#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <strings.h>

namespace {

// Well-formed UTF-8 reads back to the same bytes; a broken sequence reads as U+FFFD.
bool isUtf8(const std::string& text) {
    return EncodeText(DecodeText(text, TextEncoding::Utf8), TextEncoding::Utf8) == text;
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

std::string LocaleText::ToTerminal(const std::string& documentText,
                                   TextEncoding document) const {
    // Every mode that prints document texts comes through here: the controls in them
    // are written out first, so that no text forges a line or commands the terminal.
    std::string visible = EscapeControls(documentText, document);
    return utf8 ? TextToUtf8(visible, document) : visible;
}

std::string LocaleText::FromTerminal(const std::string& typed, TextEncoding document) const {
    if (!utf8 || !isUtf8(typed)) return typed;
    return TextFromUtf8(typed, document);
}

std::string LocaleText::ToUtf8(const std::string& typed) const {
    if (utf8 && isUtf8(typed)) return typed;
    return TextToUtf8(typed, TextEncoding::Windows1252);
}
