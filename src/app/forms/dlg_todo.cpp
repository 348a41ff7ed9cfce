#include "app/forms/dlg_todo.h"

#include "model/vtodo.h"

CDlgTodo::CDlgTodo(VTodo& item)
    : what(item.what), priority(item.priority, 4), done(item.flags & DONE), todo(item) {}

void CDlgTodo::Store() {
    todo.what = what;
    todo.priority = priority.Value();
    todo.flags = done ? todo.flags | DONE : todo.flags & ~DONE;
}
