// RibbonFilters: what the ribbon's filter controls do to the open document: the state
// filter (view flags), the text filter, the contact filter and the sort order.
#pragma once

#include <cstdint>

class RefreshSequences;
class ViewDocument;

class RibbonFilters {
  public:
    RibbonFilters(ViewDocument& document, RefreshSequences& refresh)
        : document(document), refresh(refresh) {}

    void OnStateFilter(int index);
    void OnTextFilter(const char* text);
    void OnClearFilter();
    void OnContactFilter(int index);
    void OnSort(int index);

    // The collection's filter bits follow the item view's flags.
    void CopyViewFlagsToFilters(std::uint32_t viewFlags);
    // While the state filter sets its bits, their changes leave the tree and the views
    // alone: they follow once, at its end.
    bool SettingStateFilter() const { return settingStateFilter; }

  private:
    void setViewBit(std::uint32_t bit, bool on);

    ViewDocument& document;
    RefreshSequences& refresh;
    bool settingStateFilter = false;
};
