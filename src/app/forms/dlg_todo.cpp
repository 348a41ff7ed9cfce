#include "app/forms/dlg_todo.h"

#include "model/vschedule.h"
#include "model/vtodo.h"

CDlgTodo::CDlgTodo(VTodo& item)
    : what(item.what), priority(item.priority, 4), done(item.flags & DONE), todo(item) {}

void CDlgTodo::Store() {
    todo.what = what;
    todo.priority = priority.Value();
    SetItemDone(*todo.collection, &todo, done);
}
