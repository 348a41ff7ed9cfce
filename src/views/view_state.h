// The item view's state that the document and the commands change: the mode, the view
// flags and the span of the Gantt chart, and whether its rows must be rebuilt.
#pragma once

#include "foundation/date.h"

#include <cstdint>

class ViewDocument;
class VCollection;

class ItemViewState {
  public:
    ItemViewState();
    virtual ~ItemViewState() = default;

    // Reads the stored state with the rules of the first update: view flags 0 mean 272
    // and at least one of 0x312 must be set (else 0x10), 0 days mean 56.
    void LoadSettings(ViewDocument& document);

    // Each change ends in SaveViewFlags: stored, copied to the filters, tree and views
    // refreshed.
    void SetViewFlags(std::uint32_t bits);
    void ClearViewFlags(std::uint32_t bits);
    void ToggleViewFlags(std::uint32_t bits);
    void SaveViewFlags();
    // The view's size in percent (views/zoom.h), kept in the settings.
    void SetZoom(int percent);
    // The document made or opened a collection: the view shows its top folder.
    virtual void CollectionChanged(VCollection*) { needsRebuild = true; }
    // Something in the document changed (it was marked modified).
    virtual void DocumentChanged() {}

    int viewType = 1; // 0 list, 1 month calendar; anything but 1 is the list
    // The agenda shows instead of either; stored apart ("view_agenda"), so that every
    // view type keeps its meaning.
    bool agenda = false;
    std::uint32_t viewFlags = 32;
    int ganttDaysInView = 56;
    int zoomPercent = 100;
    double screenScale = 1.0; // device pixels per 96-dpi pixel, as the window reports
    QDate ganttStartDate;
    bool needsRebuild = true;
    ViewDocument* document = nullptr;
};
