#include "model/vnode.h"

#include "foundation/qarena.h"
#include "foundation/qfile.h"
#include "foundation/qmessage.h"
#include "model/vcollection.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "platform/editor.h"

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::atomic<std::uint32_t> nextSerial{1};
}

int CompareText(const qstring& a, const qstring& b) {
    // strcmp compares as unsigned char, which is the order the lists use.
    return std::strcmp(a.Text(), b.Text());
}

VNode::VNode(VCollection* owner)
    : collection(owner), name("A_Node"), serial(nextSerial.fetch_add(1)) {}

VNode::~VNode() = default;

void* VNode::operator new(std::size_t size, QArena& arena) {
    return arena.Allocate(size);
}

void VNode::operator delete(VNode* node, std::destroying_delete_t) {
    bool inArena = node->inArena;
    node->~VNode();
    if (!inArena) ::operator delete(node);
}

bool VNode::HasContact(const VContact*) const {
    return false;
}

void VNode::Load(QFile& file) {
    std::int32_t ignored;
    file.Read32(ignored); // "NODE"
    file.Read32(ignored); // its length
    file.ReadString(name);
    std::int32_t storedFlags = (std::int32_t)flags;
    file.Read32(id);
    file.Read32(parentId);
    file.Read32(storedFlags);
    flags = (std::uint32_t)storedFlags;
    parent = nullptr;
}

void VNode::PostLoad() {
    if (VNode* found = collection->FindById(parentId)) {
        parent = found;
        return;
    }
    qerr(QLOC("VNode::PostLoad"), "Node '%s' can't find parent with id %d", name.Text(), parentId);
    parent = collection->root;
}

void VNode::Save(QFile& file) {
    SaveCommon(file);
}

void VNode::SaveCommon(QFile& file) {
    file.Write("NODE", 4);
    long at = file.BeginSize();
    file.WriteString(name);
    file.Write32(id);
    file.Write32(parentId);
    file.Write32((std::int32_t)flags);
    file.EndSize(at);
}

long VNode::BeginRecord(QFile& file, const char* tag) {
    file.Write(tag, 4);
    long at = file.BeginSize();
    SaveCommon(file);
    return at;
}

void VNode::EndRecord(QFile& file, long position) {
    file.EndSize(position);
}

bool VNode::Open() {
    return Edit();
}

bool VNode::Edit() {
    return false;
}

int VNode::ContactSortOrder(const VNode* other) const {
    if (collection->sortMode != 1) return 0;
    const VContact* mine = MainContact();
    const VContact* theirs = other->MainContact();
    return mine && theirs ? mine->ContactOrder(theirs) : 0;
}

bool VNode::RunEditor() {
    NodeEditor* editor = CurrentNodeEditor();
    return editor && editor->EditNode(*this);
}

void VNode::ShiftDates(int) {}

void VNode::ChangeDuration(int) {}

void VNode::SetRect(int x, int y, int width, int height) {
    rect = VRect{x, y, width, height};
}

void VNode::Describe(qstring& out, bool) const {
    out = name;
}

void VNode::ForgetContact(const VNode*) {}

bool VNode::AnyContains(const qstring& upperText,
                        std::initializer_list<const qstring*> texts) const {
    std::string_view needle(upperText.Text());
    for (const qstring* text : texts)
        if (ContainsUpper(text->Text(), TextsEncoding(), needle)) return true;
    return false;
}

int VNode::CompareText(const qstring& a, const qstring& b) const {
    return CompareTexts(a.Text(), b.Text(), TextsEncoding());
}

TextEncoding VNode::TextsEncoding() const {
    return collection ? collection->textEncoding : TextEncoding::Windows1252;
}

bool VNode::IsDescendantOf(const VNode* node) const {
    for (const VNode* p = parent; p; p = p->parent)
        if (p == node) return true;
    return false;
}

bool VNode::IsActive() const {
    for (const VNode* p = this; p; p = p->parent)
        if (p->flags & INACTIVE) return false;
    return true;
}

bool VNode::NameBefore(const VNode* other) const {
    return CompareText(name, other->name) < 0;
}

void VNode::FolderPath(qstring& out) const {
    // Outermost first; a node named "root" ends the path like the top folder does.
    std::vector<const VNode*> chain;
    for (const VNode* n = this; n && !(n->name == "root"); n = n->parent)
        chain.push_back(n);
    // Joined in a std::string, which knows its length: appending to a qstring measures
    // it anew each time, which made a path 20,000 folders deep cost seconds.
    std::string path = out.Text();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) path += " / ";
        path += (*it)->name.Text();
    }
    out = path.c_str();
}

void VNode::FolderTitle(qstring& out) const {
    out = "";
    FolderPath(out);
    if (out.IsEmpty()) out = "All folders";
}
