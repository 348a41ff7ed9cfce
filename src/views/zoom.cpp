#include "views/zoom.h"

#include <cmath>
#include <cstdlib>
#include <iterator>

namespace {

constexpr int STEPS[] = {50, 67, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400};

} // namespace

int ZoomIn(int percent) {
    for (int step : STEPS)
        if (step > percent) return step;
    return std::end(STEPS)[-1];
}

int ZoomOut(int percent) {
    for (auto it = std::rbegin(STEPS); it != std::rend(STEPS); ++it)
        if (*it < percent) return *it;
    return STEPS[0];
}

int ValidZoom(int percent) {
    if (percent < STEPS[0] / 2 || percent > 2 * std::end(STEPS)[-1]) return ZOOM_NORMAL;
    int nearest = STEPS[0];
    for (int step : STEPS)
        if (std::abs(step - percent) < std::abs(nearest - percent)) nearest = step;
    return nearest;
}

double ScreenScaleForDpi(int dpi) {
    double quarters = std::floor(dpi * 4 / 96.0 + 0.5);
    return quarters < 4 ? 1.0 : quarters / 4;
}

float ViewScale(double screenScale, int zoomPercent) {
    if (screenScale <= 0) screenScale = 1;
    return (float)(screenScale * zoomPercent / 100.0);
}
