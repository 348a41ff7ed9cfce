// How the item view shows the current folder: list or calendar, the view flags behind
// the ribbon's check boxes, the Gantt chart's span and the calendar's month.
#include "app/commands/command_groups.h"

#include "app/commands/command_ui.h"
#include "app/skedraDoc.h"
#include "platform/command_ids.h"
#include "views/skedraView.h"
#include "views/view_flags.h"
#include "views/zoom.h"

namespace {

// A view chosen (on the ribbon, most often) takes the keyboard, so that its keys work
// without a click into it first.
unsigned shown(CommandContext& c) {
    if (c.ui) c.ui->FocusItemView();
    return CHANGED_VIEW | CHANGED_SETTINGS;
}

template <int TYPE> unsigned setViewType(CommandContext& c) {
    c.view->SetViewType(TYPE);
    return shown(c);
}

unsigned showAgenda(CommandContext& c) {
    c.view->ShowAgenda();
    return shown(c);
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

// The agenda has no week to step: there the page keys move through its rows instead.
bool weeksShown(const CommandContext& c) {
    return c.view && !c.view->IsAgendaMode();
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
template <void (GanttSpan::*CHANGE)()> unsigned changeSpan(CommandContext& c) {
    (c.document->Span().*CHANGE)();
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
        {.id = CMD_AS_LIST,
         .run = setViewType<0>,
         .enabled = HasView,
         .caption = "As list",
         .icon = "list_view"},
        {.id = CMD_AS_CALENDAR,
         .run = setViewType<1>,
         .enabled = HasView,
         .caption = "As calendar",
         .icon = "report_view"},
        {.id = CMD_AS_AGENDA,
         .run = showAgenda,
         .enabled = HasView,
         .caption = "Agenda",
         .icon = "agenda"},
        {.id = CMD_HIDE_OTHERS,
         .run = toggleFlag<VIEW_HIDE_OTHERS>,
         .enabled = HasView,
         .checked = flagSet<VIEW_HIDE_OTHERS>,
         .caption = "Hide other items"},
        {.id = CMD_SHOW_GANTT,
         .run = toggleFlag<VIEW_GANTT>,
         .enabled = HasView,
         .checked = flagSet<VIEW_GANTT>,
         .caption = "Show Gantt chart",
         .icon = "gantt"},
        {.id = CMD_SHOW_PROGRESS,
         .run = toggleFlag<VIEW_PROGRESS>,
         .enabled = HasView,
         .checked = flagSet<VIEW_PROGRESS>,
         .caption = "Show progress",
         .icon = "progress"},
        {.id = CMD_SHOW_DAYS,
         .run = toggleFlag<VIEW_DAYS>,
         .enabled = HasView,
         .checked = flagSet<VIEW_DAYS>,
         .caption = "Show days",
         .icon = "days"},
        {.id = CMD_MORE_WEEKS,
         .run = changeSpan<&GanttSpan::ShowMoreWeeks>,
         .enabled = viewAndDocument,
         .caption = "Show more weeks"},
        {.id = CMD_LESS_WEEKS,
         .run = changeSpan<&GanttSpan::ShowLessWeeks>,
         .enabled = viewAndDocument,
         .caption = "Show less weeks"},
        // The keys the captions name; each goes the other way in the calendar.
        {.id = CMD_NEXT_WEEK,
         .run = navigate<&CSkedraView::NextWeek>,
         .enabled = weeksShown,
         .caption = "Next week (PageDn)",
         .keys = {{.key = NamedKey::PageUp}}},
        {.id = CMD_PREVIOUS_WEEK,
         .run = navigate<&CSkedraView::PreviousWeek>,
         .enabled = weeksShown,
         .caption = "Previous week (PageUp)",
         .keys = {{.key = NamedKey::PageDown}}},
        {.id = CMD_GOTO_TODAY,
         .run = navigate<&CSkedraView::GotoToday>,
         .enabled = HasView,
         .caption = "Goto today",
         .icon = "go_home"},
        {.id = CMD_PREVIOUS_MONTH,
         .run = scrollMonth<-1>,
         .enabled = HasView,
         .caption = "Prev month (PageDown)",
         .icon = "go_back"},
        {.id = CMD_NEXT_MONTH,
         .run = scrollMonth<1>,
         .enabled = HasView,
         .caption = "Next month (PageUp)",
         .icon = "go_forward"},
        // The item view's size. "=" is the "+" key without Shift on most keyboards, and
        // the window reports a shifted key by its unshifted character: Ctrl+plus typed
        // on a US keyboard arrives as Ctrl+Shift+"=". The keypad's keys are their own.
        {.id = CMD_ZOOM_IN,
         .run = zoom<ZoomIn>,
         .enabled = HasView,
         .keys = {{.modifiers = KEY_CTRL, .letter = '+'},
                  {.modifiers = KEY_CTRL, .letter = '='},
                  {.modifiers = KEY_CTRL | KEY_SHIFT, .letter = '+'},
                  {.modifiers = KEY_CTRL | KEY_SHIFT, .letter = '='},
                  {.modifiers = KEY_CTRL, .key = NamedKey::NumpadAdd}}},
        {.id = CMD_ZOOM_OUT,
         .run = zoom<ZoomOut>,
         .enabled = HasView,
         .keys = {{.modifiers = KEY_CTRL, .letter = '-'},
                  {.modifiers = KEY_CTRL, .key = NamedKey::NumpadSubtract}}},
        {.id = CMD_ZOOM_RESET,
         .run = zoom<normalZoom>,
         .enabled = HasView,
         .keys = {{.modifiers = KEY_CTRL, .letter = '0'}}},
    };
}
