#include "wx/command_router.h"

#include "app/commands/command_table.h"
#include "platform/command_ids.h"
#include "wx/text_convert.h"
#include "wx/wx_ids.h"

#include <map>
#include <wx/bmpbuttn.h>
#include <wx/docview.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/textctrl.h>

namespace {

// The framework's commands, as the document manager knows them.
const std::map<int, int> FRAMEWORK_IDS = {
    {CMD_FILE_NEW, wxID_NEW},          {CMD_FILE_OPEN, wxID_OPEN},
    {CMD_FILE_CLOSE, wxID_CLOSE},      {CMD_FILE_SAVE, wxID_SAVE},
    {CMD_FILE_SAVE_AS, wxID_SAVEAS},   {CMD_PRINT, wxID_PRINT},
    {CMD_PRINT_PREVIEW, wxID_PREVIEW},
};

// The wx ids of the program's commands and of the framework's.
const int RANGES[][2] = {
    {WxIdOf(FIRST_PROGRAM_COMMAND), WxIdOf(LAST_PROGRAM_COMMAND)},
    {WxIdOf(FIRST_FRAMEWORK_COMMAND), WxIdOf(LAST_FRAMEWORK_COMMAND)},
};

} // namespace

int CommandRouter::FrameworkId(int command) {
    auto found = FRAMEWORK_IDS.find(command);
    return found == FRAMEWORK_IDS.end() ? 0 : found->second;
}

CommandRouter::CommandRouter(wxWindow* window, wxDocManager* docManager,
                             std::function<CommandContext()> makeContext)
    : manager(docManager), context(std::move(makeContext)) {
    for (const auto& range : RANGES) {
        // Every control of the ribbon sends its own kind of event; all are commands.
        for (auto type : {wxEVT_MENU, wxEVT_BUTTON, wxEVT_CHECKBOX, wxEVT_CHOICE, wxEVT_TEXT_ENTER})
            window->Bind(type, &CommandRouter::onCommand, this, range[0], range[1]);
        window->Bind(wxEVT_RIBBONBUTTONBAR_CLICKED, &CommandRouter::onCommand, this, range[0],
                     range[1]);
        window->Bind(wxEVT_UPDATE_UI, &CommandRouter::onUpdateUI, this, range[0], range[1]);
    }
}

void CommandRouter::onCommand(wxCommandEvent& event) {
    int command = CommandOf(event.GetId());
    if (int framework = FrameworkId(command)) {
        wxCommandEvent forwarded(wxEVT_MENU, framework);
        manager->ProcessEvent(forwarded);
        return;
    }
    CommandContext c = context();
    c.choice = event.GetSelection();
    // The filter box: a search, not a document text, so it stays UTF-8.
    if (auto* box = dynamic_cast<wxTextCtrl*>(event.GetEventObject()))
        c.text = ToUtf8(box->GetValue());
    if (!RunCommand(command, c)) event.Skip();
}

void CommandRouter::onUpdateUI(wxUpdateUIEvent& event) {
    int command = CommandOf(event.GetId());
    const CommandEntry* entry = FindCommand(command);
    if (!entry || !entry->run) return; // the framework's own answer for themselves
    CommandContext c = context();
    event.Enable(CommandUsable(command, c));
    if (CommandHasTick(command)) event.Check(CommandChecked(command, c));
    std::string label = CommandLabel(command, c);
    if (label.empty()) return;
    // A picture button says it in its tooltip; menu entries change their text. Labels
    // carry document texts ("Move to 'Work'").
    wxString text = ToWx(label);
    if (auto* button = dynamic_cast<wxBitmapButton*>(event.GetEventObject())) {
        if (button->GetToolTipText() != text) button->SetToolTip(text);
    } else {
        // The menu keeps showing the command's key beside its changing text.
        std::string key = CommandKeyText(command);
        event.SetText(key.empty() ? text : text + "\t" + wxString::FromUTF8(key));
    }
}
