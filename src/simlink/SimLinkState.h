#pragma once

// State owned by the simlink/ folder. One instance lives in the Fms context; code reaches it
// through fms().simlink. Members are added here by the code that owns them.
struct SimLinkState {
};
