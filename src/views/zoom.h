// The item view's size: the zoom steps of Ctrl+plus and Ctrl+minus, and the scale the
// view draws at. The rows' geometry is written for 100 % on a 96-dpi screen (scale 1);
// a larger screen scale or zoom multiplies it.
#pragma once

constexpr int ZOOM_NORMAL = 100;

// The next step up or down, staying at the ends of the steps.
int ZoomIn(int percent);
int ZoomOut(int percent);
// A stored zoom as a step: the nearest one, ZOOM_NORMAL for nothing or nonsense.
int ValidZoom(int percent);

// The screen's scale for the desktop's resolution in dots per inch: quarter steps above
// 96 dpi, never below 1, so a screen reporting less than 96 dpi draws as today.
double ScreenScaleForDpi(int dpi);

// The view's scale on a screen drawing screenScale device pixels per 96-dpi pixel.
float ViewScale(double screenScale, int zoomPercent);
