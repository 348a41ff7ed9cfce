// The drawing surface the views paint on, in the conventions their rules are written
// in: rectangles exclude their right and bottom edges, a line leaves out its end point.
// WxCanvas draws on a wxDC (window, buffer, printer); tests record every call.
#pragma once

#include "platform/icons.h"

#include <cstdint>
#include <string>

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour&) const = default;
};

struct CanvasRect {
    int left, top, right, bottom;
    bool operator==(const CanvasRect&) const = default;
};

enum class PenStyle { Solid, Dotted };
enum class DeviceCap { HorzRes, VertRes, LogPixelsY };

class Canvas {
  public:
    virtual ~Canvas() = default;
    virtual void SetPen(PenStyle style, int width, Colour colour) = 0;
    virtual void SetFont(int height, int weight, const std::string& face) = 0;
    virtual void SetTextColour(Colour colour) = 0;
    virtual void SetTransparentBackground() = 0;
    virtual void FillRect(const CanvasRect& rect, Colour colour) = 0;
    virtual void Rectangle(const CanvasRect& rect) = 0; // pen outline, no fill
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void Text(int x, int y, const std::string& text) = 0;
    // Text inside the rectangle, cut with "..." at the end when it does not fit.
    virtual void TextEllipsis(const CanvasRect& rect, const std::string& text) = 0;
    // The icon's picture, scaled to fill the box (16 by 16 on the screen).
    virtual void Icon(const CanvasRect& box, ItemIcon icon) = 0;
    virtual int DeviceCaps(DeviceCap cap) const = 0;
    // The part of the surface that drawing can change (a window's damaged area, a page);
    // what lies wholly outside may be left undrawn.
    virtual CanvasRect ClipBox() const = 0;
    virtual bool IsPrinting() const = 0;
};
