// The windowless program with the command table's context: the document (when it is the
// program's), the item view, the folder tree and recording window services.
#pragma once

#include "app/commands/command_table.h"
#include "app/skedradoc.h"
#include "support/recording_command_ui.h"
#include "support/windowless_program.h"

#include <type_traits>

template <class Document> class WindowlessCommands : public WindowlessProgram<Document> {
  public: // tables of cases act through the fixture
    void SetUp() override {
        WindowlessProgram<Document>::SetUp();
        if constexpr (std::is_same_v<Document, CSkedraDoc>) context.document = this->doc.get();
        context.view = this->view.get();
        context.tree = this->tree.get();
        context.ui = &ui;
    }
    // Runs the command as the window would and answers what it said it changed.
    unsigned Run(int command) {
        unsigned changed = 12345;
        EXPECT_TRUE(RunCommand(command, context, &changed)) << command;
        return changed;
    }

    RecordingCommandUI ui;
    CommandContext context;
};
