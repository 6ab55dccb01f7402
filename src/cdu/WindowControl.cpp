#include "cdu/WindowControl.h"

#include "platform/Platform.h"
#include "cdu/CduState.h"
#include "cdu/CduRenderer.h"
#include "platform/Window.h"

ViewportSize computeViewport(int width, int height, bool hardwareMode, int rotationIndex) {
    if (hardwareMode) return {width, static_cast<int>(0.75 * width)};
    if (rotationIndex == 0) return {static_cast<int>(0.9 * height), height};
    return {width, static_cast<int>(0.9 * width)};
}

void resizeViewport(int width, int height) {
    CduState& cdu = cduState();
    Settings& s = platform().settings;
    // A text screen stretched over the whole window has no frame to show.
    if (s.hardwareMode) s.frameless = true;
    const ViewportSize viewport = computeViewport(width, height, s.hardwareMode, cdu.rotationIndex);
    s.windowWidth = viewport.width;
    s.windowHeight = viewport.height;
    setRenderViewport(viewport.width, viewport.height);
    if (Window* window = platform().window) window->normalPosition(cdu.placementX, cdu.placementY);
}

void toggleWindowFrame() {
    Settings& s = platform().settings;
    if (Window* window = platform().window) {
        window->normalPosition(s.windowX, s.windowY);
        window->setFrameless(!s.frameless);
    }
    s.frameless = !s.frameless;
}

void rotateDisplay() {
    CduState& cdu = cduState();
    cdu.rotationIndex = (cdu.rotationIndex + 1) % 3;
    // Applied at once rather than at the next resize, so the rotated screen is not drawn
    // into the upright viewport until the user happens to resize the window.
    if (Window* window = platform().window) {
        int width = 0;
        int height = 0;
        window->clientSize(width, height);
        resizeViewport(width, height);
    }
}

float rotationAngle(int rotationIndex) {
    static constexpr float kAngles[3] = {0.0f, 90.0f, -90.0f};
    return rotationIndex >= 0 && rotationIndex < 3 ? kAngles[rotationIndex] : 0.0f;
}
