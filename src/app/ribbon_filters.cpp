#include "app/ribbon_filters.h"

#include "foundation/text_encoding.h"

#include "app/contact_list.h"
#include "app/refresh_sequences.h"
#include "model/vcollection.h"
#include "platform/ui.h"
#include "views/view_document.h"
#include "views/view_flags.h"
#include "views/view_state.h"

#include <vector>

void RibbonFilters::CopyViewFlagsToFilters(std::uint32_t viewFlags) {
    VCollection& c = *document.Collection();
    c.filterFlags = FilterFlagsFor(viewFlags, c.filterFlags);
}

void RibbonFilters::setViewBit(std::uint32_t bit, bool on) {
    ItemViewState* view = refresh.View();
    if (!view) return;
    if (on)
        view->SetViewFlags(bit);
    else
        view->ClearViewFlags(bit);
}

void RibbonFilters::OnStateFilter(int index) {
    const std::uint32_t* set;
    int count;
    if (!StateFilterSetBits(index, &set, &count)) {
        ShowMessage("Unknown filter", "Error", MsgButtons::OK, MsgIcon::Error);
        return;
    }
    const std::uint32_t* cleared;
    int clearedCount = StateFilterClearedBits(&cleared);
    // Every bit is a change of its own (stored, copied to the filters), but the steps in
    // between are never seen: the tree and the views follow once, not per bit, since on a
    // large document each refill walks all of it.
    settingStateFilter = true;
    for (int i = 0; i < clearedCount; ++i)
        setViewBit(cleared[i], false);
    for (int i = 0; i < count; ++i)
        setViewBit(set[i], true);
    settingStateFilter = false;
    refresh.Tree();
    refresh.Redraw();
}

void RibbonFilters::OnTextFilter(const char* text) {
    // The filter is UTF-8 whatever the document's encoding, upper-cased by character.
    document.Collection()->filterText = UpperText(text ? text : "", TextEncoding::Utf8).c_str();
    refresh.Tree();
    refresh.Redraw();
}

void RibbonFilters::OnClearFilter() {
    OnTextFilter("");
}

void RibbonFilters::OnContactFilter(int index) {
    VCollection& c = *document.Collection();
    if (index <= 0) {
        c.contactFilter = nullptr;
    } else {
        std::vector<VContact*> contacts = ListedContacts(c);
        if (index > (int)contacts.size()) {
            ShowMessage("Bug in OnContactFilterLBox(); n out of range", "Error", MsgButtons::OK,
                        MsgIcon::Error);
            return;
        }
        c.contactFilter = contacts[index - 1];
    }
    refresh.Redraw();
    refresh.Tree();
}

void RibbonFilters::OnSort(int index) {
    document.Collection()->sortMode = index;
    refresh.Tree();
    refresh.Redraw(); // the rows take the new order at once, not at the next folder change
}
