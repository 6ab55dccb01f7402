// Cost of drawing a full screen of text (11 rows x 24 characters) through the renderer into
// the recording backend, as the page tests and the frame benchmark do every frame.
#include <benchmark/benchmark.h>

#include "shell/Fms.h"
#include "cdu/CduRenderer.h"
#include "RecordingRenderer.h"

namespace {

constexpr const char* rowText = "ABCDEFGHIJKLMNOPQRSTUVWX";

// The dispatcher's frame start: clear, place the bezel, enter page coordinates.
void beginTestFrame() {
    beginCduFrame();
    cduTranslate(-0.45f, -0.5f, -1.212f);
    drawBezel();
    beginPageCoordinates();
}

// One text call per row: the common case of a page line built with one format.
void FullPageByRows(benchmark::State& state) {
    Fms context;
    ScopedFms current(context);
    RecordingRenderer recorder;
    installRecordingRenderer(recorder);
    for (auto _ : state) {
        beginTestFrame();
        for (int row = 0; row < textRows; ++row) {
            drawTextAt(0, row, row % 2 ? colourWhite : colourGreen, row % 2 ? fontMed : fontLarge, alignLeft,
                       "%s", rowText);
        }
        benchmark::DoNotOptimize(recorder.snapshot().cell(10, 23).ch);
    }
    state.SetItemsProcessed(state.iterations() * textRows * textColumns);
}
BENCHMARK(FullPageByRows);

// Fields placed one by one (left label, right-aligned value, prompt arrow) as the busier
// pages draw them: four text calls and one arrow per row.
void FullPageByFields(benchmark::State& state) {
    Fms context;
    ScopedFms current(context);
    RecordingRenderer recorder;
    installRecordingRenderer(recorder);
    for (auto _ : state) {
        beginTestFrame();
        for (int row = 0; row < textRows; ++row) {
            drawTextAt(0, row, colourWhite, fontMed, alignLeft, "%s", "LABEL");
            drawTextAt(6, row, colourGreen, fontLarge, alignLeft, "%03d", row * 7);
            drawTextAt(12, row, colourMagenta, fontLarge, alignCentre, "%02d:%02d", row, row * 3);
            drawTextAt(23, row, colourYellow, fontLarge, alignRight, "%6.1f", row * 12.5);
            if (row % 2 == 0) drawRightPrompt(row);
        }
        benchmark::DoNotOptimize(recorder.snapshot().cell(10, 23).ch);
    }
    state.SetItemsProcessed(state.iterations() * textRows * textColumns);
}
BENCHMARK(FullPageByFields);

// Reading the whole snapshot back as a test does.
void SnapshotRows(benchmark::State& state) {
    Fms context;
    ScopedFms current(context);
    RecordingRenderer recorder;
    installRecordingRenderer(recorder);
    beginTestFrame();
    for (int row = 0; row < textRows; ++row)
        drawTextAt(0, row, colourGreen, fontLarge, alignLeft, "%s", rowText);
    for (auto _ : state) {
        size_t total = 0;
        for (int row = 0; row < textRows; ++row) total += recorder.snapshot().row(row).size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(SnapshotRows);

}  // namespace

BENCHMARK_MAIN();
