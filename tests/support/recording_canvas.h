// A canvas that records every drawing call, so tests can assert the exact rectangles,
// lines, colours, fonts and texts of a paint.
#pragma once

#include "platform/canvas.h"

#include <string>
#include <vector>

struct CanvasCall {
    enum Kind {
        Pen,
        Font,
        TextColour,
        Transparent,
        Fill,
        Outline,
        Line,
        Text,
        TextEllipsis,
        Icon
    } kind;
    CanvasRect rect{0, 0, 0,
                    0}; // Fill, Outline, TextEllipsis; Line: from (left, top) to (right, bottom)
    Colour colour;      // Pen, TextColour, Fill
    PenStyle penStyle = PenStyle::Solid;
    int width = 0; // Pen width; Font height
    int weight = 0;
    std::string text; // Text, TextEllipsis; Font face
    ItemIcon icon = ItemIcon::None;
    // The pen, font and text colour in force when the call was made.
    Colour penColour, textColour;
    PenStyle currentPenStyle = PenStyle::Solid;
    int currentPenWidth = 1;
    int fontWeight = 0;
};

class RecordingCanvas : public Canvas {
  public:
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
    CanvasRect ClipBox() const override { return clip; }

    std::vector<CanvasCall> Calls(CanvasCall::Kind kind) const;
    void Clear() { calls.clear(); }
    // A printer page of 8 by 11 inches at 600 dots an inch, as the print tests use it.
    static RecordingCanvas PrinterPage() {
        RecordingCanvas printer;
        printer.printing = true;
        printer.horzRes = 4800;
        printer.vertRes = 6600;
        printer.logPixelsY = 600;
        return printer;
    }

    std::vector<CanvasCall> calls;
    bool printing = false;
    int horzRes = 1000, vertRes = 800, logPixelsY = 96;
    CanvasRect clip{-1000000, -1000000, 1000000, 1000000};

  private:
    CanvasCall next(CanvasCall::Kind kind) const;
    int penX = 0, penY = 0;
    Colour pen, textColour;
    PenStyle penStyle = PenStyle::Solid;
    int penWidth = 1;
    int fontWeight = 0;
};
