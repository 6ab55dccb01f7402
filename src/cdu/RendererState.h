#pragma once

#include "platform/RenderBackend.h"

// State of the CDU renderer, kept in cduState().renderer.
struct RendererState {
    // Glyph metrics of the last font created ("CDU_Large" after start-up); the text routine
    // takes the cell increments of both fonts from here.
    GlyphMetrics glyphMetrics[glyphCount] = {};
    bool fontCreated[2] = {false, false};
    bool bezelLoaded = false;
};
