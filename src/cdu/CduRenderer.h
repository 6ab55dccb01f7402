#pragma once

#include <string>

#include "platform/RenderBackend.h"

// The drawing API of every CDU page. It forwards to the backend in platform().renderer
// (OpenGL in the program, the recording backend in tests); with no backend it draws nothing.
//
// Page coordinates: origin at the lower left corner of the bezel picture, x to the right,
// y up, the picture 0.9 wide and 1.0 high; the text area lies inside x 0.129..0.776,
// y 0.514..0.919. A page element is drawn as
//     cduPush(); cduColour(colourGreen); cduTranslate(textColumnX[8], textRowY[0]);
//     cduScale(textScaleX, textScaleY); drawCduText(fontLarge, alignLeft, "ORX - 1"); cduPop();
// or, the same in one call, drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "ORX - 1").

// --- Palette ---
inline constexpr Rgba colourGreen{0.156f, 0.803f, 0.215f, 1.0f};
inline constexpr Rgba colourWhite{1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr Rgba colourYellow{1.0f, 1.0f, 0.0f, 1.0f};
inline constexpr Rgba colourBlack{0.0f, 0.0f, 0.0f, 1.0f};
inline constexpr Rgba colourMagenta{0.882f, 0.0f, 0.482f, 1.0f};
inline constexpr Rgba colourAmber{0.688f, 0.484f, 0.098f, 1.0f};

// --- Fonts and alignment ---
enum CduFont { fontLarge = 0, fontMed = 1 };  // "CDU_Large", "CDU_Med"
enum CduAlign { alignRight = 0, alignLeft = 1, alignCentre = -1 };

// --- Grid ---
inline constexpr float textScaleX = 0.0437f;
inline constexpr float textScaleY = 0.038f;
inline constexpr int textColumns = 24;
inline constexpr int textRows = 11;
inline constexpr float textColumnX[textColumns] = {0.135f,  0.1597f, 0.1864f, 0.2131f, 0.2398f, 0.2665f,
                                                   0.2932f, 0.3199f, 0.3466f, 0.3733f, 0.4f,    0.4267f,
                                                   0.4534f, 0.4801f, 0.5068f, 0.5335f, 0.5602f, 0.5869f,
                                                   0.6136f, 0.6403f, 0.667f,  0.6937f, 0.7204f, 0.7471f};
// Top to bottom: row 0 is the title; even rows 2..10 are the data lines of L1..L5 / R1..R5,
// odd rows their labels.
inline constexpr float textRowY[textRows] = {0.887f, 0.851f, 0.815f, 0.78f,  0.743f, 0.7089f,
                                             0.672f, 0.636f, 0.601f, 0.564f, 0.53f};
// Prompt arrows: scale of listArrow and its lift above the row's text origin.
inline constexpr float arrowScaleX = 0.0429f;
inline constexpr float arrowScaleY = 0.026f;
inline constexpr float arrowLift = 0.012f;
// Size of the bezel picture in page coordinates.
inline constexpr float bezelWidth = 0.9f;
inline constexpr float bezelHeight = 1.0f;

// --- Set-up (initGraphics), in this order ---
void initRenderState();
// Builds one font's 256 glyph lists and fills the shared glyph metrics table (both calls write
// the same table; create "CDU_Med" (1) first and "CDU_Large" (0) second). False: no usable face.
bool createCduFont(const char* faceName, int fontIndex, float height, int weight);
void deleteCduFonts();
void buildDisplayLists();
// Reads the bezel picture (see cdu/Tga.h) and makes it the bezel texture. False when the file
// is missing, malformed or unsupported ("Unable to load TGA File!" is printed); the program
// then ends with exit status 0.
bool loadTextureFromTga(const std::string& path);
// The viewport and projection after a window resize (called from resizeViewport).
void setRenderViewport(int width, int height);

// --- Frame ---
// Clears the screen and loads the identity matrix (start of the CDU drawing).
void beginCduFrame();
// Call once the matrix stands at the page coordinate system (after placing the bezel, or
// after stretching the text area in hardware mode).
void beginPageCoordinates();
// The textured bezel quad (0,0)-(0.9,1); leaves texturing and depth testing off.
void drawBezel();

// --- Primitives ---
void cduPush();
void cduPop();
void cduTranslate(float x, float y, float z = 0.0f);
// z defaults to 0 as in every page's text scale.
void cduScale(float x, float y, float z = 0.0f);
// Rotation in degrees about the screen normal (z).
void cduRotate(float degrees);
void cduColour(const Rgba& colour);
void cduColour(const Rgba& colour, float alpha);
void cduColour(float r, float g, float b, float a = 1.0f);
void cduLineWidth(float width);
void cduLine(float x0, float y0, float x1, float y1);
void cduCallList(CduList list);

// The text routine: formats printf-style (the result is cut at 255 bytes), then draws with
// font 0 or 1 and alignment 1 left (starts at the origin), 0 right (the last character's cell
// begins 0.024 font units right of the origin, so a field placed at column c ends in column c)
// or -1 centred on the origin. Afterwards the origin stands at the end of the text, so several
// calls inside one cduPush/cduPop continue the same line. A null format draws nothing.
void drawCduText(int fontIndex, int alignment, const char* format, ...) __attribute__((format(printf, 3, 4)));

// --- Conveniences built on the above ---
// push / colour / translate to (column, row) / text scale / drawCduText / pop. A column or row
// outside the grid draws nothing.
void drawTextAt(int column, int row, const Rgba& colour, int fontIndex, int alignment, const char* format,
                ...) __attribute__((format(printf, 6, 7)));
// A prompt arrow at (column x, row y + 0.012): degrees 90 points left, -90 right, 0 up, -180 down.
void drawArrowAt(int column, int row, float degrees, const Rgba& colour = colourWhite);
// The line select key prompts: left keys at column 1 pointing left, right keys at column 23
// pointing right.
void drawLeftPrompt(int row, const Rgba& colour = colourWhite);
void drawRightPrompt(int row, const Rgba& colour = colourWhite);

// Writes the frame drawn so far to a PNG file. False when the backend has no pixels (the
// recording backend) or the file cannot be written.
bool saveScreenshotPng(const std::string& path);
