#include "pages/PageDrawing.h"

void drawBar(float x, float y, float sx, float sy, const Rgba& colour) {
    cduPush();
    cduColour(colour);
    cduTranslate(x, y);
    cduScale(sx, sy);
    cduCallList(listFilledBar);
    cduPop();
}

void drawFieldBar(int column, int row, int width, const Rgba& colour) {
    if (column < 0 || column >= textColumns || row < 0 || row >= textRows) return;
    // The bar starts 0.026 left of the next column, i.e. at the left edge of the cell.
    drawBar(textColumnX[column] + 0.0267f - 0.026f, textRowY[row] + 0.011f,
            static_cast<float>(width) * 0.0264f, 0.016f, colour);
}

void drawLeftPromptText(int row, const char* text) {
    drawTextAt(1, row, colourWhite, fontLarge, alignLeft, "%s", text);
    drawLeftPrompt(row);
}

void drawRightPromptText(int row, int column, const char* text) {
    drawTextAt(column, row, colourWhite, fontLarge, alignRight, "%s", text);
    drawRightPrompt(row);
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
