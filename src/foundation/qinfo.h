// QInfo: a tree of named settings read from and written to a small text file of
// nested keys ("global { dateformat=1 }"), addressed by dotted paths.
#pragma once

#include "foundation/qobject.h"
#include "foundation/qstring.h"

#include <cstdint>
#include <memory>
#include <vector>

class QFile;

class QInfo : public QObject {
  public:
    static constexpr int MAX_LEVEL = 10;   // trees open at once while reading, root included
    static constexpr int MAX_VALUE = 1023; // longest word or value

    struct Node {
        enum Kind { COMMENT = 0, KEY = 1, TREE = 2 };
        enum Flags : std::uint32_t { USED = 1, DELETED = 2 };

        int kind = KEY;
        std::uint32_t flags = 0;
        bool hasValue = false;
        qstring value;
        qstring name;
        std::vector<std::unique_ptr<Node>> children;
        Node* reference = nullptr;
        Node* parent = nullptr;

        Node* Append(int kind, const char* name);
    };

    enum Options { READ_ONLY = 1 }; // never written back; without a file name nothing is read

    QInfo(const char* fileName, int options = 0);
    ~QInfo() override; // writes the tree back first when it was changed (unless READ_ONLY)
    QInfo(const QInfo&) = delete;
    QInfo& operator=(const QInfo&) = delete;

    const char* ClassName() const override { return "QInfo"; }

    // The value at the path; a key without value reads "?". Not found: the default
    // (or "") and false. Values are cut to MAX_VALUE characters.
    bool GetString(const char* path, char* out, int outSize, const char* def = nullptr);
    bool GetString(const char* path, qstring& out, const char* def = nullptr);
    int GetInt(const char* path, int def);
    bool GetBool(const char* path, bool def);

    bool SetString(const char* path, const char* text);
    bool SetInt(const char* path, int value);

    // Without a path: writes to the file read, and only when something changed.
    bool Write(const char* path = nullptr);

    bool IsModified() const { return flags & MODIFIED; }
    bool WasOpened() const { return flags & OPENED; }
    Node* Root() { return root.get(); }
    // The node the path leads to (following references), or null.
    Node* Find(const char* path);

  private:
    enum Flags : std::uint32_t { MODIFIED = 1, OPENED = 2, NEVER_WRITTEN = 4 };

    void Read();
    const Node* valueNode(const char* path);
    void writeNode(QFile& file, const Node* node, int depth) const;

    qstring fileName;
    std::unique_ptr<Node> root;
    std::uint32_t flags = 0;
    int line = 1;
};
