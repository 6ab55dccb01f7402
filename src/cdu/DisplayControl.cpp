#include "cdu/DisplayControl.h"

#include <algorithm>

#include "cdu/CduState.h"
#include "platform/Platform.h"
#include "cdu/CduRenderer.h"
#include "cdu/KeyInput.h"

namespace {

// DIM stops short of black so that the screen never disappears.
constexpr float kDarkestDim = 0.8f;
constexpr Rgba kSeparatorColour{0.933f, 0.596f, 0.0f, 1.0f};

void consumeKeys(CduState& cdu, Settings& s) {
    const int key = cdu.keys.pendingLsk;
    const bool video = cdu.displayControlMode == kDisplayControlVideo;
    if (key == kLskR3) {
        cdu.displayControlShown = false;
        resetLsk();
    } else if (key == kLskR5) {
        cdu.unitPower = kPowerOff;
        cdu.displayControlShown = false;
        resetLsk();
    } else if (key == kLskR1 && video) {
        s.textKeyAlignment += 0.1f;
        resetLsk();
    } else if (key == kLskR2 && video) {
        s.textKeyAlignment -= 0.1f;
        resetLsk();
    } else if (key == kLskR1) {
        s.dimLevel = std::clamp(s.dimLevel - 0.1f, 0.0f, 1.0f);
        resetLsk();
    } else if (key == kLskR2) {
        s.dimLevel = std::clamp(s.dimLevel + 0.1f, 0.0f, kDarkestDim);
        resetLsk();
    }
    if (cdu.keys.pendingLsk == kLskR4) {
        cdu.displayControlMode = video ? kDisplayControlBrightness : kDisplayControlVideo;
        resetLsk();
    }
}

void label(int row, const char* text) {
    drawTextAt(22, row, colourWhite, fontLarge, alignRight, "%s", text);
}

void draw(bool video) {
    cduPush();
    cduColour(colourBlack);
    cduTranslate(textColumnX[14] - 0.026f, textRowY[6] + 0.0275f);
    cduScale(0.2904f, 0.176f);
    cduCallList(listFilledBar);
    cduPop();

    if (video) {
        label(2, "UP");
        label(4, "DOWN");
        label(8, "VIDEO");
    } else {
        label(2, "BRIGHT");
        label(4, "DIM");
        label(8, "DISPLAY");
        label(10, "OFF/STBY");
        drawRightPrompt(10);
    }
    drawRightPrompt(2);
    drawRightPrompt(4);
    label(6, "CANCEL");
    drawRightPrompt(6);
    drawRightPrompt(8);

    cduPush();
    cduColour(kSeparatorColour);
    cduLineWidth(2.0f);
    cduLine(textColumnX[13], textRowY[1] - 0.32f, textColumnX[13], textRowY[1]);
    cduPop();
}

}  // namespace

void handleDisplayControlKeys() {
    consumeKeys(cduState(), platform().settings);
}

void drawDisplayControl() {
    draw(cduState().displayControlMode == kDisplayControlVideo);
}
