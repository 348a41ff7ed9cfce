// How the item view shows the current folder: list or calendar, the view flags behind
// the ribbon's check boxes, the Gantt chart's span and the calendar's month.
#include "app/commands/command_groups.h"

#include "app/commands/command_ids.h"
#include "app/skedradoc.h"
#include "views/skedraView.h"
#include "views/viewflags.h"
#include "views/zoom.h"

namespace {

template <int TYPE> unsigned setViewType(CommandContext& c) {
    c.view->SetViewType(TYPE);
    return CHANGED_VIEW | CHANGED_SETTINGS;
}

template <std::uint32_t BIT> unsigned toggleFlag(CommandContext& c) {
    c.view->ToggleViewFlags(BIT);
    return CHANGED_VIEW | CHANGED_SETTINGS;
}

template <std::uint32_t BIT> bool flagSet(const CommandContext& c) {
    return (c.view->viewFlags & BIT) != 0;
}

bool viewAndDocument(const CommandContext& c) {
    return c.view && c.document;
}

// Navigation of the item view: only what it shows changes.
template <void (CSkedraView::*STEP)()> unsigned navigate(CommandContext& c) {
    (c.view->*STEP)();
    return CHANGED_VIEW;
}

template <int DIRECTION> unsigned scrollMonth(CommandContext& c) {
    c.view->ScrollMonth(DIRECTION);
    return CHANGED_VIEW;
}

// The Gantt chart's span, stored in the settings.
template <void (CSkedraDoc::*CHANGE)()> unsigned changeSpan(CommandContext& c) {
    (c.document->*CHANGE)();
    return CHANGED_VIEW | CHANGED_SETTINGS;
}

// The item view's size, kept in the settings; the rows are laid out again.
template <int (*STEP)(int)> unsigned zoom(CommandContext& c) {
    c.view->SetZoom(STEP(c.view->zoomPercent));
    return CHANGED_VIEW | CHANGED_SETTINGS;
}

int normalZoom(int) {
    return ZOOM_NORMAL;
}

} // namespace

std::vector<CommandEntry> ViewCommands() {
    return {
        {CMD_AS_LIST, setViewType<0>, HasView},
        {CMD_AS_CALENDAR, setViewType<1>, HasView},
        {CMD_HIDE_OTHERS, toggleFlag<VIEW_HIDE_OTHERS>, HasView, flagSet<VIEW_HIDE_OTHERS>},
        {CMD_SHOW_GANTT, toggleFlag<VIEW_GANTT>, HasView, flagSet<VIEW_GANTT>},
        {CMD_SHOW_PROGRESS, toggleFlag<VIEW_PROGRESS>, HasView, flagSet<VIEW_PROGRESS>},
        {CMD_SHOW_DAYS, toggleFlag<VIEW_DAYS>, HasView, flagSet<VIEW_DAYS>},
        {CMD_MORE_WEEKS, changeSpan<&CSkedraDoc::ShowMoreWeeks>, viewAndDocument},
        {CMD_LESS_WEEKS, changeSpan<&CSkedraDoc::ShowLessWeeks>, viewAndDocument},
        {CMD_NEXT_WEEK, navigate<&CSkedraView::NextWeek>, HasView},
        {CMD_PREVIOUS_WEEK, navigate<&CSkedraView::PreviousWeek>, HasView},
        {CMD_GOTO_TODAY, navigate<&CSkedraView::GotoToday>, HasView},
        {CMD_PREVIOUS_MONTH, scrollMonth<-1>, HasView},
        {CMD_NEXT_MONTH, scrollMonth<1>, HasView},
        {CMD_ZOOM_IN, zoom<ZoomIn>, HasView},
        {CMD_ZOOM_OUT, zoom<ZoomOut>, HasView},
        {CMD_ZOOM_RESET, zoom<normalZoom>, HasView},
    };
}
