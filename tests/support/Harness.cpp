#include "Harness.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cdu/KeyInput.h"
#include "cdu/KeyState.h"
#include "cdu/Tga.h"
#include "navdb/DatabaseLoad.h"
#include "shell/Program.h"
#include "shell/Settings.h"
#include "cdu/WindowControl.h"

Harness::Harness(HarnessOptions options) : options_(options), current_(context) {
    context.platform.dataRoot = dir.str();
    context.platform.clock = &sim.clock;
    context.platform.simTransport = &sim.transport;
    context.platform.renderer = &renderer;
    context.platform.messageBoxes = &boxes;
    // A one-pixel bezel picture: the recording renderer only checks that one loads.
    std::filesystem::create_directories(dir.path() / "textures");
    writeTga((dir.path() / "textures/CDU_Tex.tga").string(), TgaImage{3, 1, 1, {40, 40, 40}});
    const std::filesystem::path sample = std::filesystem::path(FMS_SOURCE_DIR) / "data";
    if (options_.sampleDatabase && std::filesystem::is_directory(sample)) {
        // The sample files are linked one by one into a data folder of the test's own, so
        // that what the program writes there (data/Routes/) stays out of the source tree.
        std::filesystem::create_directory(dir.path() / "data");
        for (const std::filesystem::directory_entry& e : std::filesystem::directory_iterator(sample)) {
            const std::filesystem::path link = dir.path() / "data" / e.path().filename();
            if (e.path().filename() == "Routes")  // written to: a copy, not a link
                std::filesystem::copy(e.path(), link, std::filesystem::copy_options::recursive);
            else
                linkOrCopy(e.path(), link);
        }
    }
}

Harness::~Harness() {
    // Loader threads hold a reference to the context's database: let them finish first.
    waitForDatabaseLoad(context.navdb.database);
}

void Harness::start() {
    if (started_) return;
    started_ = true;
    startProgram();
    if (settingsFileExists()) readSettings();
    resizeViewport(options_.clientWidth, options_.clientHeight);
    ASSERT_EQ(initGraphics(), GraphicsInit::Ok);
}

bool Harness::frame() {
    start();
    advanceMs(options_.framePeriodMs);
    return runFrame();
}

bool Harness::frames(int n) {
    for (int i = 0; i < n; ++i) {
        if (!frame()) return false;
    }
    return true;
}

bool Harness::runFor(int64_t ms) {
    const int64_t end = sim.clock.processMillis() + ms;
    while (sim.clock.processMillis() < end) {
        if (!frame()) return false;
    }
    return true;
}

void Harness::advanceMs(int64_t ms) {
    sim.advanceMs(ms);
}

void Harness::powerOn() {
    press("ONOFF");
    frame();
}

void Harness::press(std::string_view name) {
    start();
    const CduKey* key = findCduKey(name);
    ASSERT_NE(key, nullptr) << "no CDU key called " << name;
    // A mouse click on the key's centre, in pixels of the viewport.
    const KeyRect& r = keyRect(context.cdu.keyRects, *key);
    const Settings& s = context.platform.settings;
    handleMouseDown(
        static_cast<int>((r.left + r.right) / 200.0f * static_cast<float>(s.windowWidth) + 0.5f),
        static_cast<int>((r.top + r.bottom) / 200.0f * static_cast<float>(s.windowHeight) + 0.5f));
}

void Harness::type(std::string_view text) {
    start();
    typeOnPcKeyboard(text);
}

void typeOnPcKeyboard(std::string_view text) {
    for (char c : text) {
        const unsigned char code = static_cast<unsigned char>(c);
        if (c == '\n') {
            handleChar(kEnterChar);
            continue;
        }
        int keyCode = -1;
        if (c >= 'a' && c <= 'z') keyCode = c - 'a' + 'A';
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) keyCode = c;
        if (keyCode >= 0) handleKeyDown(keyCode);
        handleChar(code);
        if (keyCode >= 0) handleKeyUp(keyCode);
    }
}

void Harness::waitForDatabase() {
    waitForDatabaseLoad(context.navdb.database);
}

void Harness::end() {
    start();
    endProgram();
}
