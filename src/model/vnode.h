// VNode: what every folder and item of a document has, the framing of its record
// in the document file, and the virtual operations through which the rest of the
// program handles nodes without knowing their kind.
#pragma once

#include "foundation/qstring.h"
#include "foundation/text_encoding.h"
#include "model/vpaint.h"
#include "platform/icons.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <new>

class QArena;
class QFile;
class VCollection;
class VCollectionViewer;
class VContact;

// Stored flag word `flags`.
enum VNodeFlags : std::uint32_t {
    DONE = 0x01,
    EXPANDED = 0x02,
    WAITING = 0x04,
    INACTIVE = 0x08,
    NO_DATE = 0x10,
};

// Not-stored flag word `tempFlags`.
enum VNodeTempFlags : std::uint32_t {
    SELECTED = 0x00001,
    NOT_SAVED = 0x00004,
    HAS_CHECKBOX = 0x00008,
    CAN_WAIT = 0x00010,
    OVERDUE = 0x10000,
    RUNNING = 0x20000,
};

// The dialog that edits a kind (None: the kind has no dialog).
enum class ItemDialog {
    None,
    Folder,
    Todo,
    Action,
    Agreement,
    Fact,
    Contact,
    Call,
    Mail,
    Pay,
    Location
};

struct VRect {
    std::int32_t x, y, width, height;
};

class VNode {
  public:
    explicit VNode(VCollection* collection);

    // A node lives on the heap, or in its collection's arena when the loader made it
    // (MakeNodeForTag); delete ends either kind.
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void* operator new(std::size_t size, QArena& arena);
    static void operator delete(VNode* node, std::destroying_delete_t);
    static void operator delete(void* memory) { ::operator delete(memory); }
    static void operator delete(void*, QArena&) {} // the arena gives its room back at once

    // Virtual slots, in their fixed order.
    virtual ~VNode();
    virtual const char* TypeName() const { return "node"; }
    virtual bool HasContact(const VContact* contact) const;
    virtual void Load(QFile& file);
    virtual void PostLoad();
    virtual void Save(QFile& file);
    virtual bool Matches(const qstring& upperText) const = 0;
    virtual void Spare() {}
    virtual bool Open();
    virtual bool Edit();
    virtual void ShiftDates(int days);
    virtual void ChangeDuration(int days);
    virtual void SetRect(int x, int y, int width, int height);
    virtual void Paint(VCollectionViewer& viewer);
    virtual void Describe(qstring& out, bool shortForm) const;
    virtual bool ComesBefore(const VNode* other) const { return NameBefore(other); }
    virtual void ForgetContact(const VNode* contact);
    virtual const VContact* MainContact() const { return nullptr; }

    // What a kind offers, so that code outside the model never compares type names.
    // Waiting for it makes sense (to-do, action, to call, to mail, to pay).
    virtual bool CanWait() const { return false; }
    // It has a start date and a duration (an action).
    virtual bool HasDates() const { return false; }
    // Its row carries a check box for "done".
    bool HasCheckBox() const { return (tempFlags & HAS_CHECKBOX) != 0; }
    virtual ItemDialog Dialog() const { return ItemDialog::None; }

    // The folder kind (TypeName "group"), answered without a call through the table or a
    // text comparison: every walk over a large document asks it of each node.
    bool IsFolderKind() const { return folderKind; }

    bool IsDescendantOf(const VNode* node) const;
    bool IsActive() const;
    bool NameBefore(const VNode* other) const;
    void FolderPath(qstring& out) const;
    void FolderTitle(qstring& out) const;
    void Select() { tempFlags |= SELECTED; }

    // A number unique to this node within the process, never reused: drag data and
    // the remote view name nodes by it.
    std::uint32_t Serial() const { return serial; }

    VNode* prev = nullptr;
    VNode* next = nullptr;
    VNode* parent = nullptr;
    VCollection* collection;
    std::uint32_t tempFlags = 0;
    std::uint32_t flags = NO_DATE;
    VNode* nextShown = nullptr;
    VRect rect{50, 50, 100, 120};
    std::int32_t level = 0;
    std::int32_t siblingIndex = 0;
    std::int32_t id = 0;
    std::int32_t parentId = 0;
    qstring name;
    ItemIcon icon = ItemIcon::None;

    // The order of two of this document's texts (CompareTexts in its encoding).
    int CompareText(const qstring& a, const qstring& b) const;
    // How this node's texts are stored: its document's encoding.
    TextEncoding TextsEncoding() const;

  protected:
    // Row painting shared by every kind (the item's rect, level and flags decide where).
    void PaintBackground(VCollectionViewer& v, Colour colour);
    void DrawRowText(VCollectionViewer& v, const qstring& text, Colour colour, bool bold);
    void DrawCheckBox(VCollectionViewer& v);
    void DrawStrike(VCollectionViewer& v);
    void DrawIcon(VCollectionViewer& v);
    void PaintDecorations(VCollectionViewer& v);
    // The background of kinds with a priority: light green at 3, light yellow when waited for.
    Colour PriorityBackground(int priority) const;
    // Their text colour: done grey when done, urgent red from priority 2, else black.
    Colour PriorityTextColour(int priority) const;

    // Record framing shared by every kind: the kind's tag and length, then the
    // "NODE" chunk; EndRecord patches the length.
    long BeginRecord(QFile& file, const char* tag);
    static void EndRecord(QFile& file, long position);
    void SaveCommon(QFile& file);
    // With sorting by contact: 1 when this node's main contact sorts before the other's,
    // -1 after it, 0 when they are equal, either is missing or sorting is logical.
    int ContactSortOrder(const VNode* other) const;
    // Runs the registered dialog for this node.
    bool RunEditor();
    // Whether the upper-cased copy of one of the texts holds the filter text (UTF-8),
    // character by character in the document's encoding.
    bool AnyContains(const qstring& upperText, std::initializer_list<const qstring*> texts) const;

  private:
    friend class VCollection;
    friend class VGroup;
    friend VNode* MakeNodeForTag(const char tag[4], VCollection* collection, QArena* arena);
    std::uint32_t serial;
    std::uint8_t loadMark = 0; // scratch state of the loader's check of the parent links
    bool inArena = false;      // made in the collection's arena: delete frees nothing
    bool folderKind = false;   // set by VGroup only
};

// Byte-wise, unsigned, case-sensitive order of two texts (strcmp order): the order of a
// Windows-1252 document's texts.
int CompareText(const qstring& a, const qstring& b);
