#include "support/recording_canvas.h"

CanvasCall RecordingCanvas::next(CanvasCall::Kind kind) const {
    CanvasCall call{};
    call.kind = kind;
    call.penColour = pen;
    call.textColour = textColour;
    call.currentPenStyle = penStyle;
    call.currentPenWidth = penWidth;
    call.fontWeight = fontWeight;
    return call;
}

void RecordingCanvas::SetPen(PenStyle style, int width, Colour colour) {
    pen = colour;
    penStyle = style;
    penWidth = width;
    CanvasCall call = next(CanvasCall::Pen);
    call.penStyle = style;
    call.width = width;
    call.colour = colour;
    calls.push_back(call);
}

void RecordingCanvas::SetFont(int height, int weight, const std::string& face) {
    fontWeight = weight;
    CanvasCall call = next(CanvasCall::Font);
    call.width = height;
    call.weight = weight;
    call.text = face;
    calls.push_back(call);
}

void RecordingCanvas::SetTextColour(Colour colour) {
    textColour = colour;
    CanvasCall call = next(CanvasCall::TextColour);
    call.colour = colour;
    calls.push_back(call);
}

void RecordingCanvas::SetTransparentBackground() {
    calls.push_back(next(CanvasCall::Transparent));
}

void RecordingCanvas::FillRect(const CanvasRect& rect, Colour colour) {
    CanvasCall call = next(CanvasCall::Fill);
    call.rect = rect;
    call.colour = colour;
    calls.push_back(call);
}

void RecordingCanvas::Rectangle(const CanvasRect& rect) {
    CanvasCall call = next(CanvasCall::Outline);
    call.rect = rect;
    calls.push_back(call);
}

void RecordingCanvas::MoveTo(int x, int y) {
    penX = x;
    penY = y;
}

void RecordingCanvas::LineTo(int x, int y) {
    CanvasCall call = next(CanvasCall::Line);
    call.rect = {penX, penY, x, y};
    calls.push_back(call);
    penX = x;
    penY = y;
}

void RecordingCanvas::Text(int x, int y, const std::string& text) {
    CanvasCall call = next(CanvasCall::Text);
    call.rect = {x, y, x, y};
    call.text = text;
    calls.push_back(call);
}

void RecordingCanvas::TextEllipsis(const CanvasRect& rect, const std::string& text) {
    CanvasCall call = next(CanvasCall::TextEllipsis);
    call.rect = rect;
    call.text = text;
    calls.push_back(call);
}

void RecordingCanvas::Icon(const CanvasRect& box, ItemIcon icon) {
    CanvasCall call = next(CanvasCall::Icon);
    call.rect = box;
    call.icon = icon;
    calls.push_back(call);
}

int RecordingCanvas::DeviceCaps(DeviceCap cap) const {
    switch (cap) {
    case DeviceCap::HorzRes:
        return horzRes;
    case DeviceCap::VertRes:
        return vertRes;
    case DeviceCap::LogPixelsY:
        return logPixelsY;
    }
    return 0;
}

std::vector<CanvasCall> RecordingCanvas::Calls(CanvasCall::Kind kind) const {
    std::vector<CanvasCall> found;
    for (const CanvasCall& call : calls)
        if (call.kind == kind) found.push_back(call);
    return found;
}
