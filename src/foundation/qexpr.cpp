#include "foundation/qexpr.h"

#include <cstring>

namespace {

constexpr int MAX_TOKENS = 41;
constexpr int MAX_DEPTH = 40;

// Arithmetic wraps around in 32 bits, as the values are stored.
using u32 = std::uint32_t;

struct Evaluation {
    const char* p;
    int tokens = 0;
    int depth = 0;
    bool failed = false;

    void skipBlanks() {
        while (*p == ' ' || *p == '\t')
            ++p;
    }
    // Looks at the next character that could continue the expression.
    char peek() {
        skipBlanks();
        return *p;
    }
    bool countToken() {
        if (++tokens > MAX_TOKENS) failed = true;
        return !failed;
    }

    static bool isDigitIn(char c, int base) {
        if (base == 2) return c == '0' || c == '1';
        if (base == 8) return c >= '0' && c <= '7';
        if (base == 10) return c >= '0' && c <= '9';
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }
    static int digitValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return c - 'A' + 10;
    }
    u32 digits(int base) {
        u32 value = 0;
        while (isDigitIn(*p, base))
            value = value * (u32)base + (u32)digitValue(*p++);
        return value;
    }
    bool startsNumber(char c) { return (c >= '0' && c <= '9') || c == '$' || c == '#'; }
    u32 number() {
        if (*p == '$') return ++p, digits(16);
        if (*p == '#') return ++p, digits(2);
        if (*p == '0' && (p[1] == 'x' || p[1] == 'X')) return p += 2, digits(16);
        if (*p == '0') return digits(8);
        return digits(10);
    }

    u32 primary() {
        if (failed) return 0;
        if (++depth > MAX_DEPTH) {
            failed = true;
            return 0;
        }
        u32 value = 0;
        char c = peek();
        if (c == '(') {
            ++p;
            if (countToken()) {
                value = orLevel();
                if (peek() == ')') ++p;
            }
        } else if (c == '-' || c == '~' || c == '+') {
            // A unary operator takes everything to its right at the loosest level.
            ++p;
            if (countToken()) {
                u32 operand = orLevel();
                value = c == '-' ? 0u - operand : c == '~' ? ~operand : operand;
            }
        } else if (startsNumber(c)) {
            if (countToken()) value = number();
        } // anything else: no operand here, which counts as 0
        --depth;
        return value;
    }

    u32 mulLevel() {
        u32 value = primary();
        for (char c; !failed && ((c = peek()) == '*' || c == 'x' || c == '/' || c == '%');) {
            ++p;
            if (!countToken()) break;
            u32 right = primary();
            auto l = (std::int32_t)value, r = (std::int32_t)right;
            if (c == '*' || c == 'x')
                value = value * right;
            else if (r == 0)
                value = 0;
            else if (r == -1)
                value = c == '/' ? 0u - value : 0u; // no overflow trap
            else
                value = (u32)(c == '/' ? l / r : l % r);
        }
        return value;
    }

    u32 addLevel() {
        u32 value = mulLevel();
        for (char c; !failed && ((c = peek()) == '+' || c == '-');) {
            ++p;
            if (!countToken()) break;
            u32 right = mulLevel();
            value = c == '+' ? value + right : value - right;
        }
        return value;
    }

    u32 andLevel() {
        u32 value = addLevel();
        for (char c; !failed && ((c = peek()) == '&' || c == '^');) {
            ++p;
            if (!countToken()) break;
            u32 right = addLevel();
            value = c == '&' ? (value & right) : (value ^ right);
        }
        return value;
    }

    u32 orLevel() {
        u32 value = andLevel();
        while (!failed && peek() == '|') {
            ++p;
            if (!countToken()) break;
            value |= andLevel();
        }
        return value;
    }
};

} // namespace

std::int32_t QEvaluate(const char* text) {
    if (!text) return 0;
    Evaluation e{text};
    u32 value = e.orLevel();
    return e.failed ? 0 : (std::int32_t)value;
}
