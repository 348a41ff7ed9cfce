// The drawing surface over a wxDC, turning the rules' rectangle and line conventions
// (right and bottom edges excluded, end point of a line not drawn) into wx calls.
#pragma once

#include "platform/canvas.h"

#include <wx/dc.h>

class WxCanvas : public Canvas {
  public:
    explicit WxCanvas(wxDC& dc, bool printing = false) : dc(dc), printing(printing) {}

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
    void Icon(int x, int y, ItemIcon icon) override;
    int DeviceCaps(DeviceCap cap) const override;
    bool IsPrinting() const override { return printing; }
    CanvasRect ClipBox() const override;

  private:
    wxDC& dc;
    bool printing;
    int penX = 0, penY = 0;
};
