// QNameTable: up to 25 name/value pairs of a request (query, form, headers), and the
// decoding of "a=1&b=2" texts into one.
#pragma once

#include "foundation/qstring.h"

#include <string>

class QNameTable {
  public:
    static constexpr int SIZE = 25;

    // Replaces the value of a name already present, else takes the first free entry;
    // false when the table is full (the pair is dropped).
    bool Add(const char* name, const char* value);
    // The value of the name (compared exactly), or null.
    const char* Get(const char* name) const;
    // How often the name was added (the last value stands): a request that names its Host
    // or its key twice is ambiguous, whichever value the server would take.
    int Times(const char* name) const;
    int Count() const;
    // Entry i in table order (i below Count()).
    const char* NameAt(int i) const { return entries[i].name.Text(); }
    const char* ValueAt(int i) const { return entries[i].value.c_str(); }

  private:
    struct Entry {
        qstring name;
        std::string value;
        bool used = false;
        int times = 0;
    };
    Entry entries[SIZE];
};

// Splits the text at every "&" into "name=value" pairs (at the first "="), URL-decodes both
// and adds them; pairs without "=" or with an empty value are left out.
void QDecodeForm(const char* text, QNameTable& table);
