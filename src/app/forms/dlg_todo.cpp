#include "app/forms/dlg_todo.h"

#include "model/vcollection.h"
#include "model/vschedule.h"
#include "model/vtodo.h"

CDlgTodo::CDlgTodo(VTodo& item)
    : what(item.what), priority(item.priority, 4), done(item.flags & DONE),
      schedule(*item.collection, item), todo(item) {}

void CDlgTodo::Store() {
    todo.what = what;
    todo.priority = priority.Value();
    schedule.Store();
    SetItemDone(*todo.collection, &todo, done);
}
