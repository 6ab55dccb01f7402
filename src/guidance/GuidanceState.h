#pragma once

// State owned by the guidance/ folder. One instance lives in the Fms context; code reaches it
// through fms().guidance. Members are added here by the code that owns them.
struct GuidanceState {
};
