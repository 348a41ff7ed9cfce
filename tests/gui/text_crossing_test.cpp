// Document texts with bytes above 127 on their way to the screen and back: the row
// canvas, the folder tree's labels and renames, the dialogs, and the saved file.
#include "gui/gui_support.h"
#include "wx/text_convert.h"
#include "wx/wx_canvas.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>

namespace {

// The pixels of a text drawn black on white, by the canvas or by wx itself.
wxImage Drawn(const std::function<void(wxDC&)>& draw) {
    wxBitmap bitmap(200, 30);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetFont(*wxNORMAL_FONT);
    dc.SetTextForeground(*wxBLACK);
    draw(dc);
    dc.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

bool SamePixels(const wxImage& a, const wxImage& b) {
    return a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + a.GetWidth() * a.GetHeight() * 3, b.GetData());
}

TEST(TextCrossingTest, TheCanvasDrawsDocumentBytesAsTheirCharacters) {
    const std::string bytes = "Caf\xE9 \x80 5 \x93quoted\x94";
    wxImage byCanvas = Drawn([&](wxDC& dc) { WxCanvas(dc).Text(2, 2, bytes); });
    wxImage expected =
        Drawn([](wxDC& dc) { dc.DrawText(L"Caf\u00E9 \u20AC 5 \u201Cquoted\u201D", 2, 2); });
    wxImage latin1 =
        Drawn([&](wxDC& dc) { dc.DrawText(wxString::From8BitData(bytes.c_str()), 2, 2); });
    EXPECT_TRUE(SamePixels(byCanvas, expected));
    EXPECT_FALSE(SamePixels(latin1, expected)) << "the test tells the two code pages apart";
}

TEST(TextCrossingTest, MessagesShowPathsAndDocumentTexts) {
    EXPECT_EQ(MessageToWx("Can't open file (/home/z\xC3\xBC/a.vnt)."),
              L"Can't open file (/home/z\u00FC/a.vnt).");
    EXPECT_EQ(MessageToWx("Can't open url (http://caf\xE9.example)"),
              L"Can't open url (http://caf\u00E9.example)");
    EXPECT_EQ(MessageToWx(""), L"");
}

} // namespace
