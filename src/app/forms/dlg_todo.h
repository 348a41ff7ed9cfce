// CDlgTodo: the form of the to-do dialog "To Do".
#pragma once

#include "app/forms/item_form.h"
#include "app/forms/schedule_form.h"
#include "foundation/qstring.h"

class VTodo;

class CDlgTodo : public ItemForm {
  public:
    explicit CDlgTodo(VTodo& todo);
    FormOutcome Validate() override { return schedule.Validate(); }
    void Store() override;

    qstring what;
    StoredChoice priority; // Low, Medium, High, Today
    bool done;
    ScheduleForm schedule;

  private:
    VTodo& todo;
};
