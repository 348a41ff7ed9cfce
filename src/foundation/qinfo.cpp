#include "foundation/qinfo.h"

#include "foundation/qexpr.h"
#include "foundation/qfile.h"
#include "foundation/qmessage.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Reference chains are short in any sound file; the bound keeps a damaged one finite.
constexpr int MAX_REFERENCE_HOPS = 64;

std::vector<std::string> splitPath(const char* path) {
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = path ? path : "";; ++p) {
        if (*p == '.' || *p == 0) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
            if (*p == 0) break;
        } else {
            part += *p;
        }
    }
    return parts;
}

bool visible(const QInfo::Node* node) {
    return !(node->flags & QInfo::Node::DELETED);
}

QInfo::Node* ownChild(const QInfo::Node* tree, const std::string& name) {
    for (const auto& child : tree->children)
        if (visible(child.get()) && child->name == name.c_str()) return child.get();
    return nullptr;
}

// A child of the tree, or else of the trees it refers to.
QInfo::Node* inheritedChild(const QInfo::Node* tree, const std::string& name) {
    for (int hops = 0; tree && hops < MAX_REFERENCE_HOPS; tree = tree->reference, ++hops)
        if (QInfo::Node* child = ownChild(tree, name)) return child;
    return nullptr;
}

void referencePath(const QInfo::Node* node, std::string& out) {
    std::vector<const QInfo::Node*> chain;
    for (; node && node->parent; node = node->parent)
        chain.push_back(node);
    int names = 0;
    for (auto it = chain.rbegin(); it != chain.rend() && names < 10; ++it, ++names) {
        if (names) out += '.';
        out += (*it)->name.Text();
    }
}

} // namespace

QInfo::Node* QInfo::Node::Append(int newKind, const char* newName) {
    auto child = std::make_unique<Node>();
    child->kind = newKind;
    child->name = newName;
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

QInfo::QInfo(const char* name, int options) : fileName(name), root(std::make_unique<Node>()) {
    root->kind = Node::TREE;
    root->name = "root";
    if (options & READ_ONLY) flags |= NEVER_WRITTEN;
    if (!(options & READ_ONLY) || fileName.Length() > 0) Read();
}

QInfo::~QInfo() {
    if (IsModified() && !(flags & NEVER_WRITTEN)) Write();
}

QInfo::Node* QInfo::Find(const char* path) {
    std::vector<std::string> parts = splitPath(path);
    Node* tree = root.get();
    if (parts.empty()) return tree;
    for (size_t i = 0; i < parts.size(); ++i) {
        Node* match = inheritedChild(tree, parts[i]);
        if (!match) return nullptr;
        if (i + 1 == parts.size()) return match;
        if (match->kind != Node::TREE) return nullptr;
        tree = match;
    }
    return nullptr;
}

const QInfo::Node* QInfo::valueNode(const char* path) {
    Node* node = Find(path);
    if (!node || !visible(node)) return nullptr;
    if (node->kind == Node::KEY || (node->kind == Node::TREE && node->hasValue)) {
        node->flags |= Node::USED;
        return node;
    }
    return nullptr;
}

bool QInfo::GetString(const char* path, char* out, int outSize, const char* def) {
    if (!out || outSize <= 0) return false;
    const Node* node = valueNode(path);
    const char* text = node ? (node->hasValue ? node->value.Text() : "?") : (def ? def : "");
    int limit = outSize - 1 < MAX_VALUE ? outSize - 1 : MAX_VALUE;
    std::snprintf(out, (size_t)limit + 1, "%s", text);
    return node != nullptr;
}

bool QInfo::GetString(const char* path, qstring& out, const char* def) {
    char buffer[MAX_VALUE + 1];
    bool found = GetString(path, buffer, sizeof buffer, def);
    out = buffer;
    return found;
}

int QInfo::GetInt(const char* path, int def) {
    char buffer[MAX_VALUE + 1];
    return GetString(path, buffer, sizeof buffer) ? QEvaluate(buffer) : def;
}

bool QInfo::GetBool(const char* path, bool def) {
    char buffer[MAX_VALUE + 1];
    return GetString(path, buffer, sizeof buffer) ? QEvaluate(buffer) != 0 : def;
}

bool QInfo::SetString(const char* path, const char* text) {
    std::vector<std::string> parts = splitPath(path);
    if (parts.empty()) return false;
    Node* tree = root.get();
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        Node* match = ownChild(tree, parts[i]);
        if (!match) {
            match = tree->Append(Node::TREE, parts[i].c_str());
            flags |= MODIFIED;
        } else if (match->kind != Node::TREE) {
            return false;
        }
        tree = match;
    }
    // A value must read back as one value: one line of at most MAX_VALUE characters.
    std::string value = text ? text : "";
    if ((int)value.size() > MAX_VALUE) {
        qwarn(QLOC("QInfo::SetString"), "QInfo:SetString(); value of '%s' cut to %d characters",
              path, MAX_VALUE);
        value.resize(MAX_VALUE);
    }
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';

    Node* key = ownChild(tree, parts.back());
    if (!key)
        key = tree->Append(Node::KEY, parts.back().c_str());
    else if (key->kind == Node::TREE)
        return false;
    else if (key->hasValue && key->value == value.c_str())
        return true;
    key->value = value.c_str();
    key->hasValue = true;
    flags |= MODIFIED;
    return true;
}

bool QInfo::SetInt(const char* path, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return SetString(path, text);
}

bool QInfo::Write(const char* path) {
    if (!path) {
        if (!IsModified()) return true;
        path = fileName.Text();
    }
    qtrace(QLOC("QInfo::Write"), "QInfo::Write %s\n", path);
    QFile file(path, QFile::WRITE_TEXT);
    if (!file.IsOpen()) {
        qwarn(QLOC("QInfo::Write"), "QInfo:Write(); file (%s) can't be written", path);
        return false;
    }
    writeNode(file, root.get(), -1);
    if (!file.Close()) {
        qwarn(QLOC("QInfo::Write"), "QInfo:Write(); file (%s) can't be written", path);
        return false;
    }
    flags &= ~MODIFIED;
    return true;
}

void QInfo::writeNode(QFile& file, const Node* node, int depth) const {
    if (!visible(node)) return;
    std::string indent(depth > 0 ? 2 * depth : 0, ' ');
    const char* value = node->hasValue ? node->value.Text() : "";
    switch (node->kind) {
    case Node::COMMENT:
        file.Printf("%s;%s\n", indent.c_str(), value);
        return;
    case Node::KEY:
        file.Printf("%s%s=%s\n", indent.c_str(), node->name.Text(), value);
        return;
    default:
        break;
    }
    bool header = !(node->name == "root");
    if (header) {
        std::string line = indent + node->name.Text();
        if (node->reference) {
            line += '~';
            referencePath(node->reference, line);
        }
        if (node->hasValue) line += std::string("=") + value;
        file.Printf("%s\n%s{\n", line.c_str(), indent.c_str());
    }
    for (const auto& child : node->children)
        writeNode(file, child.get(), depth + 1);
    if (header) file.Printf("%s}\n", indent.c_str());
}
