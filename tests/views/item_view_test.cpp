// The item view's rows and paint pass on a recording canvas.
#include "views/skedraView.h"

#include "foundation/qshell.h"
#include "foundation/qtime.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/model_builders.h"
#include "support/scripted_document.h"
#include "support/scripted_ui.h"
#include "support/windowless_program.h"
#include "views/LeftView.h"

#include <filesystem>
#include <gmock/gmock.h>

namespace {

class ItemViewTest : public WindowlessProgram<ScriptedDocument> {
  protected:
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const CanvasCall& call : dc.Calls(CanvasCall::Text))
            texts.push_back(call.text);
        return texts;
    }
};

TEST_F(ItemViewTest, EmptyDocumentShowsTheHeadingAndTheHints) {
    Draw();
    std::string heading = std::string("All folders on ") + QCurrentDateText("%d-%m-%Y");
    auto texts = dc.Calls(CanvasCall::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, heading);
    EXPECT_EQ(texts[0].rect.left, 8);
    EXPECT_EQ(texts[0].rect.top, 15);
    EXPECT_EQ(texts[0].fontWeight, 700);
    EXPECT_EQ(texts[1].text, "Use the menu above to create a folder and add some items.");
    EXPECT_EQ(texts[1].rect.top, 100);
    EXPECT_EQ(texts[2].text, "Press F1 for help and tutorials on getting started.");
    EXPECT_EQ(texts[2].rect.top, 120);

    AddNode<VTodo>(C());
    view->Layout(nullptr);
    Draw();
    EXPECT_EQ(Texts(), std::vector<std::string>{heading}) << "the hints go with the first item";
}

TEST_F(ItemViewTest, PaintPassGeometryOnScreen) {
    auto* todo = AddNode<VTodo>(C());
    todo->what = "row";
    Draw(1000);
    EXPECT_EQ(view->RowHeight(), 20);
    EXPECT_EQ(view->MarginRight(), 10);
    EXPECT_EQ(view->ListWidth(), 1000 - 10);
    EXPECT_EQ(view->RowsTop(), 70);
    EXPECT_EQ(todo->rect.x, 0);
    EXPECT_EQ(todo->rect.y, 70);
    EXPECT_EQ(todo->rect.width, 990);
    auto fonts = dc.Calls(CanvasCall::Font);
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ(fonts[0].width, -8);
    EXPECT_EQ(fonts[0].text, "MS Sans Serif");
    EXPECT_EQ(view->ScrollHeight(), 70 + 6 * 20);

    view->SetViewFlags(0x020);
    Draw(1000);
    EXPECT_EQ(view->ListWidth(), 450) << "the Gantt chart takes the rest";
    EXPECT_EQ(view->Gantt().x0, 450);
    EXPECT_EQ(view->Gantt().width, 990 - 450);
    EXPECT_EQ(view->Gantt().days, 56);
}

TEST_F(ItemViewTest, RowsSelectionAndHits) {
    VCollection& c = C();
    auto* folder = AddNode<VGroup>(c);
    folder->name = "F";
    auto* inside = AddNode<VTodo>(c, folder);
    auto* top = AddNode<VTodo>(c);
    top->what = "b";
    inside->what = "a";
    Draw();
    ASSERT_EQ(view->RowCount(), 3);
    EXPECT_EQ(view->HitRow(5, 70), 0);
    EXPECT_EQ(view->HitRow(900, 95), 1) << "anywhere right of the row's left edge";
    EXPECT_EQ(view->HitRow(5, 60), -1);
    view->SelectRow(1);
    EXPECT_EQ(c.Selected(), view->RowItem(1));
    EXPECT_GE(window.repaints, 1);

    // Filtered out by the next layout: no longer selected.
    inside->Select();
    view->SelectRow(-1);
    inside->Select();
    inside->flags |= DONE;
    view->Layout(nullptr);
    Draw();
    EXPECT_FALSE(inside->tempFlags & SELECTED);

    view->SetFolder(folder);
    Draw();
    EXPECT_EQ(view->RowCount(), 0) << "the done item is hidden";
}

// All folders: the "Projects" row clicked, then "Projects" shown (as the tree does), then
// the "Report" row clicked: Report is the selection, and only Report.
TEST_F(ItemViewTest, OnlyWhatTheRowsShowIsSelected) {
    VCollection& c = C();
    auto* projects = AddNode<VGroup>(c);
    projects->name = "Projects";
    auto* report = AddNode<VTodo>(c, projects);
    report->what = "Report";
    for (int i = 0; i < 12; ++i)
        AddNode<VTodo>(c, projects)->what = "Task";
    Draw();
    ASSERT_EQ(view->RowItem(0), projects);
    view->SelectRow(0);
    ASSERT_EQ(c.Selected(), projects);

    tree->SelectionChanged(projects);
    EXPECT_EQ(c.Selected(), nullptr) << "the folder shown is no row of its own";
    Draw();
    int reportRow = -1;
    for (int i = 0; i < view->RowCount(); ++i)
        if (view->RowItem(i) == report) reportRow = i;
    ASSERT_GE(reportRow, 0);
    projects->Select(); // a flag left behind by whatever code
    view->SelectRow(reportRow);
    EXPECT_EQ(c.Selected(), report);
    EXPECT_FALSE(projects->tempFlags & SELECTED);

    // A node of another folder selected behind the view's back is dropped by the layout.
    auto* elsewhere = AddNode<VTodo>(c);
    elsewhere->Select();
    view->Layout(nullptr);
    Draw();
    EXPECT_FALSE(elsewhere->tempFlags & SELECTED);
    EXPECT_EQ(c.Selected(), report) << "the shown selection stays";

    // Back to all folders: Report is still shown there, and stays selected.
    tree->SelectionChanged(c.root);
    EXPECT_EQ(c.Selected(), report);
}

TEST_F(ItemViewTest, AtMostAThousandRows) {
    VCollection& c = C();
    std::vector<VGroup*> folders;
    for (int f = 0; f < 3; ++f) {
        folders.push_back(AddNode<VGroup>(c));
        for (int i = 0; i < 400; ++i)
            AddNode<VTodo>(c, folders.back());
    }
    Draw();
    EXPECT_EQ(view->RowCount(), CSkedraView::MAX_ROWS);
}

// The agenda is stored apart from the view type and comes back at the next start.
TEST_F(ItemViewTest, TheAgendaComesBackAtTheNextStart) {
    doc->settings["view_type"] = 1;
    doc->settings["view_agenda"] = 1;
    view->OnInitialUpdate();
    EXPECT_TRUE(view->IsAgendaMode());
    EXPECT_FALSE(view->IsListMode());
    EXPECT_FALSE(view->IsCalendarMode());
    view->SetViewType(1);
    EXPECT_TRUE(view->IsCalendarMode());
    EXPECT_EQ(doc->settings["view_agenda"], 0);
}

TEST_F(ItemViewTest, ViewTypeTwoIsTheList) {
    view->SetViewType(2);
    EXPECT_TRUE(view->IsListMode());
    EXPECT_EQ(doc->GetGlobalInt("view_type", 0), 2);
    view->SetViewType(1);
    EXPECT_FALSE(view->IsListMode());
    AddNode<VTodo>(C());
    Draw();
    EXPECT_EQ(view->RowCount(), 0) << "the calendar has no rows";
}

} // namespace

namespace {

TEST_F(ItemViewTest, CalendarModeLaysOutTheMonth) {
    auto* task = AddNode<VTask>(C());
    task->flags = 0;
    task->startDate = "2026-12-16";
    view->SetViewType(1);
    view->Calendar().gridStart.SetDate(30, 11, 2026);
    Draw(1000, 700);
    EXPECT_EQ(view->Calendar().weekRows, 5);
    EXPECT_EQ(view->Calendar().cells[0].w, 128);
    EXPECT_EQ(view->Calendar().actions.size(), 1u);
    EXPECT_STREQ(view->Calendar().cells[0].date.Format(2), "2026-11-30");
}

} // namespace

namespace {

TEST_F(ItemViewTest, PagesOfAPrinterAt600Dots) {
    for (int i = 0; i < 250; ++i)
        AddNode<VTodo>(C())->what = "row";
    Draw(1000, 700); // the screen first: 250 rows
    ASSERT_EQ(view->RowCount(), 250);
    view->RowItem(3)->Select();

    RecordingCanvas printer = RecordingCanvas::PrinterPage();
    view->DetermineNoofPages(printer);
    EXPECT_EQ(view->RowsPerPage(), 46) << "MulDiv(8, 600, 72) = 67 and 67 x 2.1 = 140.7";
    EXPECT_EQ(view->PageCount(), 6);
    EXPECT_EQ(doc->Collection()->Selected(), nullptr) << "printing loses the selection";

    view->OnPrepareDC(true, 6);
    EXPECT_EQ(view->PageFirstRow(), 230);
    printer.Clear();
    view->OnDraw(printer, {0, 0, 4800, 6600});
    EXPECT_EQ(view->Scale(), 600 / 72.0f);
    EXPECT_EQ(view->MarginLeft(), (int)(50 * view->Scale()));
    auto texts = printer.Calls(CanvasCall::TextEllipsis);
    EXPECT_EQ(texts.size(), 20u) << "the last page holds 20 rows";
    EXPECT_EQ(view->RowItem(230)->rect.y, view->RowsTop()) << "every page starts at the top";
    auto headings = printer.Calls(CanvasCall::Text);
    ASSERT_FALSE(headings.empty());
    EXPECT_THAT(headings[0].text, ::testing::EndsWith(" - page 6 of 6"));

    view->EndPrinting();
    EXPECT_EQ(view->Scale(), 1.0f);
    EXPECT_TRUE(view->needsRebuild);
    view->OnPrepareDC(false);
    Draw(1000, 700);
    EXPECT_EQ(view->RowHeight(), 20) << "screen metrics again";
}

// On paper a dot is a fraction of a screen pixel: icons and the lines of check boxes grow
// with the scale, so they show as they do on the screen.
TEST_F(ItemViewTest, IconsAndCheckBoxesScaleOnPaper) {
    VCollection& c = C();
    AddNode<VCall>(c);
    AddNode<VPay>(c);
    AddNode<VContact>(c);
    Draw();
    for (const CanvasCall& icon : dc.Calls(CanvasCall::Icon)) {
        EXPECT_EQ(icon.rect.right - icon.rect.left, 16) << "on the screen as drawn";
        EXPECT_EQ(icon.rect.bottom - icon.rect.top, 16);
    }
    for (const CanvasCall& box : dc.Calls(CanvasCall::Outline))
        EXPECT_EQ(box.currentPenWidth, 1);

    RecordingCanvas printer = RecordingCanvas::PrinterPage();
    view->DetermineNoofPages(printer);
    view->OnPrepareDC(true, 1);
    printer.Clear();
    view->OnDraw(printer, {0, 0, 4800, 6600});
    int pen = (int)view->Scale();
    ASSERT_EQ(pen, 8);
    auto icons = printer.Calls(CanvasCall::Icon);
    std::vector<ItemIcon> kinds;
    for (const CanvasCall& icon : icons) {
        kinds.push_back(icon.icon);
        EXPECT_GE(icon.rect.right - icon.rect.left, 16 * 4) << "not a dot on paper";
        EXPECT_EQ(icon.rect.bottom - icon.rect.top, icon.rect.right - icon.rect.left);
        bool insideARow = false;
        for (int i = 0; i < view->RowCount(); ++i) {
            const VRect& row = view->RowItem(i)->rect;
            insideARow |= row.y <= icon.rect.top && icon.rect.bottom <= row.y + row.height;
        }
        EXPECT_TRUE(insideARow) << icon.rect.top;
    }
    EXPECT_THAT(kinds,
                ::testing::UnorderedElementsAre(ItemIcon::Call, ItemIcon::Pay, ItemIcon::Contact));
    auto boxes = printer.Calls(CanvasCall::Outline);
    ASSERT_EQ(boxes.size(), 2u) << "the call's and the payment's";
    for (const CanvasCall& box : boxes)
        EXPECT_EQ(box.currentPenWidth, pen);
    view->EndPrinting();
}

TEST_F(ItemViewTest, AnEmptyListPrintsOnePage) {
    RecordingCanvas printer = RecordingCanvas::PrinterPage();
    view->DetermineNoofPages(printer);
    EXPECT_EQ(view->PageCount(), 1);
    view->OnPrepareDC(true, 1);
    view->OnDraw(printer, {0, 0, 4800, 6600});
    auto texts = printer.Calls(CanvasCall::Text);
    ASSERT_EQ(texts.size(), 1u) << "no hints on paper";
    EXPECT_THAT(texts[0].text, ::testing::EndsWith(" - page 1 of 1"));
}

} // namespace

namespace {

TEST_F(ItemViewTest, ExportTellsWhereThePageIsWhenNothingCanShowIt) {
    ScriptedUI ui;
    std::vector<std::string> opened;
    QSetShellHandler([&](const char* target) {
        opened.push_back(target);
        return false;
    });
    AddNode<VTodo>(C())->what = "exported";
    Draw();
    view->ExportFolder();
    QSetShellHandler(nullptr);
    EXPECT_EQ(opened, std::vector<std::string>{"export.htm"});
    EXPECT_THAT(ReadWholeFile("export.htm"), ::testing::HasSubstr("<li>exported</li>"));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "The folder was exported to " + dir.Path() +
                                    "/export.htm, but no program could be found to open it.");

    // A folder where the page cannot be written says so instead of keeping quiet.
    ui.asked.clear();
    std::filesystem::remove("export.htm");
    std::filesystem::create_directory("export.htm");
    view->ExportFolder();
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Can't write file (" + dir.Path() + "/export.htm).");
    EXPECT_EQ(ui.asked[0].caption, "Error");
}

} // namespace
