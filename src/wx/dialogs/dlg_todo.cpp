// "To Do": what to do, its priority and whether it is done.
#include "app/forms/dlg_todo.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"

namespace {

class TodoDialog : public FormDialog {
  public:
    TodoDialog(wxWindow* parent, CDlgTodo& form) : FormDialog(parent, "To Do", 460, form) {
        Rows rows = AddRows(Body());
        Text(rows, "Do &what?", form.what);
        Radios(rows, "Priority", {"&Low", "&Medium", "&High", "&Today"}, form.priority, 4);
        Rows when = AddRows(Body(), "When?");
        Schedule(when, form.schedule);
        Rows done = AddRows(Body());
        Check(done, nullptr, "&Done", form.done);
        Finish();
    }
};

} // namespace

std::unique_ptr<FormDialog> MakeTodoDialog(wxWindow* parent, CDlgTodo& form) {
    return std::make_unique<TodoDialog>(parent, form);
}
