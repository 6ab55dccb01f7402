#pragma once

// State owned by the navdb/ folder. One instance lives in the Fms context; code reaches it
// through fms().navdb. Members are added here by the code that owns them.
struct NavDbState {
};
