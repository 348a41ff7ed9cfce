// File > Import > iCalendar... and File > Export > iCalendar... in the real window: the
// sub-menus, the file chooser, the imported folder in the tree, and undo.
#include "app/skedraDoc.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "platform/command_ids.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "wx/main_frame.h"
#include "wx/wx_ids.h"

#include <gtest/gtest.h>
#include <wx/docview.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/testing.h>

namespace {

class IcsGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settle();
        Frame().GetDocumentManager()->CreateNewDocument();
        Settle();
    }
    void TearDown() override {
        if (wxDocument* doc = Frame().GetDocumentManager()->GetCurrentDocument())
            doc->Modify(false);
    }
    int Items() {
        int count = 0;
        for (VNode* n = Doc().Collection()->root->next; n; n = n->next)
            count += !n->IsFolderKind();
        return count;
    }
};

wxMenu* SubMenu(const wxString& label) {
    for (wxMenuItem* item : Frame().FileMenu()->GetMenuItems())
        if (item->GetItemLabelText() == label) return item->GetSubMenu();
    return nullptr;
}

TEST_F(IcsGuiTest, TheFileMenuOffersExportAndImportOfICalendarFiles) {
    for (auto [label, command] :
         {std::pair{"Export", CMD_EXPORT_ICALENDAR}, std::pair{"Import", CMD_IMPORT_ICALENDAR}}) {
        wxMenu* sub = SubMenu(label);
        ASSERT_NE(sub, nullptr) << label;
        wxMenuItem* item = sub->FindItem(WxIdOf(command));
        ASSERT_NE(item, nullptr) << label;
        EXPECT_TRUE(item->GetItemLabelText().StartsWith("iCalendar...")) << label;
        sub->UpdateUI(Frame().GetEventHandler());
        EXPECT_TRUE(item->IsEnabled()) << label;
    }
}

// The file chooser as the user finds it: the name it offers is kept, then the path the
// user picks is given.
class ExpectChooser : public wxExpectModal<wxFileDialog> {
  public:
    ExpectChooser(const std::string& path, std::string& offered)
        : wxExpectModal<wxFileDialog>(path), offered(offered) {}

  protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        offered = dialog->wxFileDialogBase::GetFilename().utf8_string();
        return wxExpectModal<wxFileDialog>::OnInvoked(dialog);
    }

  private:
    std::string& offered;
};

TEST_F(IcsGuiTest, AnImportedCalendarShowsAsAFolderAndGoesWithOneUndo) {
    TempDir dir;
    std::string path = dir.File("garden.ics");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//EN\r\nX-WR-CALNAME:Garden\r\n"
               "BEGIN:VTODO\r\nUID:a\r\nSUMMARY:Mow the lawn\r\nEND:VTODO\r\n"
               "BEGIN:VEVENT\r\nUID:b\r\nSUMMARY:Flower fair\r\n"
               "DTSTART;VALUE=DATE:20261205\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
               f);
    std::fclose(f);
    ScriptedUI boxes;
    wxTEST_DIALOG(SendCommand(CMD_IMPORT_ICALENDAR), wxExpectModal<wxFileDialog>(path));
    Settle();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "Imported 2 new and 0 updated items from " + path + ".");
    EXPECT_EQ(Items(), 2);
    VNode* garden = Doc().Collection()->FindFolder("Garden");
    ASSERT_NE(garden, nullptr);
    EXPECT_TRUE(Frame().GetTitle().EndsWith(" *")) << "the document changed";
    EXPECT_TRUE(SaveWindowPicture(Frame(), "ical-import.png"));

    SendCommand(CMD_UNDO);
    Settle();
    EXPECT_EQ(Items(), 0) << "the whole import is one step";
    EXPECT_EQ(Doc().Collection()->FindFolder("Garden"), nullptr);

    std::string out = dir.File("out.ics");
    SendCommand(CMD_REDO);
    Settle();
    std::string offered;
    wxTEST_DIALOG(SendCommand(CMD_EXPORT_ICALENDAR), ExpectChooser(out, offered));
    Settle();
    EXPECT_EQ(offered, "calendar.ics") << "a name to start from, for a document not saved yet";
    std::string exported = FileBytes(out);
    EXPECT_NE(exported.find("SUMMARY:Mow the lawn\r\n"), std::string::npos) << exported;
    EXPECT_NE(exported.find("UID:b\r\n"), std::string::npos) << "the peer's UIDs stay";
    EXPECT_NE(exported.find("DTSTART;VALUE=DATE:20261205\r\n"), std::string::npos);
}

} // namespace
