#include "views/view_state.h"

#include "model/vcollection.h"
#include "views/view_document.h"
#include "views/view_flags.h"
#include "views/zoom.h"

ItemViewState::ItemViewState() {
    ganttStartDate.SetToday();
    ganttStartDate.ToMonday();
}

void ItemViewState::LoadSettings(ViewDocument& doc) {
    document = &doc;
    viewFlags = (std::uint32_t)doc.GetGlobalInt("view_flags", 0);
    if (viewFlags == 0) viewFlags = 272;
    if (!(viewFlags & 0x312)) viewFlags |= 0x010;
    viewType = doc.GetGlobalInt("view_type", 0);
    agenda = doc.GetGlobalInt("view_agenda", 0) != 0;
    if (VCollection* c = doc.Collection())
        c->filterFlags = FilterFlagsFor(viewFlags, c->filterFlags);
    ganttDaysInView = doc.GetGlobalInt("gantt.days_in_view", 0);
    if (ganttDaysInView == 0) ganttDaysInView = 56;
    zoomPercent = ValidZoom(doc.GetGlobalInt("zoom", ZOOM_NORMAL));
}

void ItemViewState::SetZoom(int percent) {
    zoomPercent = ValidZoom(percent);
    needsRebuild = true;
    if (document) document->SetGlobalInt("zoom", zoomPercent);
}

void ItemViewState::SetViewFlags(std::uint32_t bits) {
    viewFlags |= bits;
    SaveViewFlags();
}

void ItemViewState::ClearViewFlags(std::uint32_t bits) {
    viewFlags &= ~bits;
    SaveViewFlags();
}

void ItemViewState::ToggleViewFlags(std::uint32_t bits) {
    viewFlags ^= bits;
    SaveViewFlags();
}

void ItemViewState::SaveViewFlags() {
    if (document) document->ViewFlagsChanged();
}
