#include "flightplan/FplPageDrawing.h"

void drawBar(float x, float y, float width, float halfHeight, const Rgba& colour) {
    cduPush();
    cduColour(colour);
    cduTranslate(x, y);
    cduScale(width, halfHeight);
    cduCallList(listFilledBar);
    cduPop();
}

void drawArrowShape(float x, float y, float degrees, const Rgba& colour) {
    cduPush();
    cduColour(colour);
    cduTranslate(x, y);
    cduRotate(degrees);
    cduScale(arrowScaleX, arrowScaleY);
    cduCallList(listArrow);
    cduPop();
}

void drawMessageAnnunciator() {
    cduCallList(listMessageAnnunciator);
}
