// The drawing surface over a wxDC, turning the rules' rectangle and line conventions
// (right and bottom edges excluded, end point of a line not drawn) into wx calls.
#pragma once

#include "platform/canvas.h"

#include <string>
#include <wx/dc.h>
#include <wx/pen.h>

struct CanvasSize {
    int width, height;
};

class WxCanvas : public Canvas {
  public:
    explicit WxCanvas(wxDC& dc, bool printing = false);

    void SetPen(PenStyle style, int width, Colour colour) override;
    void SetFont(int height, int weight, const std::string& face) override;
    void SetTextColour(Colour colour) override;
    void SetTransparentBackground() override;
    void FillRect(const CanvasRect& rect, Colour colour) override;
    void Rectangle(const CanvasRect& rect) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Text(int x, int y, const std::string& text) override;
    void TextEllipsis(const CanvasRect& rect, const std::string& text) override;
    void Icon(const CanvasRect& box, ItemIcon icon) override;
    int DeviceCaps(DeviceCap cap) const override;
    bool IsPrinting() const override { return printing; }
    CanvasRect ClipBox() const override;

    // The size the text takes in the current font.
    CanvasSize TextExtent(const std::string& text) const;
    // The pixel size that stands in for the rules' Windows faces at this character
    // height on screen.
    static int ScreenPixelSize(const wxDC& dc, int characterHeight);

  private:
    void usePen();
    void useBrush(bool filled, Colour colour);
    bool stampDottedLine(int x, int y);
    CanvasSize measured(const wxString& shown);

    wxDC& dc;
    bool printing;
    int penX = 0, penY = 0;
    // The pen asked for last, and whether the DC holds it (a fill puts none there).
    wxPen pen;
    bool penMade = false, penOnDc = true;
    PenStyle penStyle = PenStyle::Solid;
    int penWidth = 0;
    Colour penColour{};
    bool brushMade = false, brushFilled = false;
    Colour brushColour{};
    bool fontMade = false;
    int fontHeight = 0, fontWeight = 0;
    std::string fontFace;
    std::string fontKey; // the font made last, as its description
};
