#include "app/gantt_span.h"

#include "app/program_settings.h"
#include "app/refresh_sequences.h"
#include "views/view_state.h"

void GanttSpan::change(int days) {
    ItemViewState* view = refresh.View();
    if (!view) return;
    view->ganttDaysInView += days;
    if (view->ganttDaysInView < 7) view->ganttDaysInView = 7;
    settings.SetGlobalInt("gantt.days_in_view", view->ganttDaysInView);
    refresh.MarkModified();
    refresh.Redraw();
}

void GanttSpan::ShowMoreWeeks() {
    change(7);
}

void GanttSpan::ShowLessWeeks() {
    change(-7);
}
