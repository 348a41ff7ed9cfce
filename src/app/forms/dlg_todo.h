// CDlgTodo: the form of the to-do dialog "To Do".
#pragma once

#include "app/forms/item_form.h"
#include "foundation/qstring.h"

class VTodo;

class CDlgTodo : public ItemForm {
  public:
    explicit CDlgTodo(VTodo& todo);
    void Store() override;

    qstring what;
    StoredChoice priority; // Low, Medium, High, Today
    bool done;

  private:
    VTodo& todo;
};
