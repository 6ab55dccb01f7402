#pragma once


// Cross-fill direction of unit 1 (unit 2 takes the opposite one).
enum class Xfill { Push, Pull };

// Everything FMS.ini holds. Defaults apply when a key is absent or the file is new.
struct Settings {
    int windowWidth = 500;   // x_window_size: requested client width; the viewport width after a resize
    int windowHeight = 550;  // y_window_size
    int windowX = 0;         // x_window_position
    int windowY = 0;         // y_window_position
    float xGraphicsPosition = 0.0f;  // text area shift and extra stretch in hardware mode
    float yGraphicsPosition = 0.0f;
    float xGraphicScale = 0.0f;
    float yGraphicScale = 0.0f;
    bool frameless = false;     // show_frame:no
    bool hardwareMode = false;  // no bezel; the text screen fills the window
    int basicWeight = 0;        // used by the FUEL pages
    bool unitIsFms1 = false;    // FMS1:yes
    Xfill fms1Xfill = Xfill::Push;
    bool enableDualFms = false;     // stored and written back only
    float dimLevel = 0.0f;          // Display_Brightness: alpha of the dimming overlay
    float textKeyAlignment = 0.0f;  // Text_Key_Alignment: stored and written back only
    bool enableDebug = false;       // appends events to log.txt
    bool enableArduino = false;     // hardware keypad search and polling
};
