#include "pages/FplPageDrawing.h"

void drawArrowShape(float x, float y, float degrees, const Rgba& colour) {
    cduPush();
    cduColour(colour);
    cduTranslate(x, y);
    cduRotate(degrees);
    cduScale(arrowScaleX, arrowScaleY);
    cduCallList(listArrow);
    cduPop();
}
