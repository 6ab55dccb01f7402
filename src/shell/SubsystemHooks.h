#pragma once

// The points where the frame and the start-up hand over to subsystems that join the program
// in later steps: the hardware keypad, the flight plan, the two-unit shared memory,
// guidance and steering, and the page state the global function keys reset. Each entry is
// null until its subsystem exists; SubsystemHooks.cpp is the one place where they are wired.
struct SubsystemHooks {
    // Start-up (initGraphics).
    void (*searchKeypad)() = nullptr;      // when Enable_Arduino: find the keypad on the serial ports
    void (*clearFlightPlan)() = nullptr;   // the plan starts empty
    bool (*openSharedMemory)() = nullptr;  // false: the program ends with status 1
    void (*initSteering)() = nullptr;      // bank-hold controller constants
    // Frame.
    void (*pollKeypad)() = nullptr;                 // once per frame when Enable_Arduino
    void (*setKeypadBacklight)(bool on) = nullptr;  // on at power-on, off at OFF/STBY
    void (*runGuidance)() = nullptr;                // unit 1 only
    void (*recordTakeOff)() = nullptr;              // the frame the aircraft leaves the ground
    void (*publishUnitFlags)() = nullptr;           // this unit's flags into the shared block
    void (*refreshUnitMirror)() = nullptr;          // the other unit's flags out of it
    // Pages.
    void (*updateCrossFillPrompt)() = nullptr;  // before the INIT, FPL, FUEL and DATA pages
    void (*resetFuelEntry)() = nullptr;         // FUEL key
    void (*resetListSelection)() = nullptr;     // LIST key
    // End.
    void (*closeSharedMemory)() = nullptr;
};

const SubsystemHooks& subsystemHooks();

// Runs a hook when it is wired.
template <typename... Args>
void runHook(void (*hook)(Args...), Args... args) {
    if (hook != nullptr) hook(args...);
}
