#pragma once

// State owned by the hardware/ folder. One instance lives in the Fms context; code reaches it
// through fms().hardware. Members are added here by the code that owns them.
struct HardwareState {
};
