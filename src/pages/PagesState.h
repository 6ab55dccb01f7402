#pragma once

// State owned by the pages/ folder. One instance lives in the Fms context; code reaches it
// through fms().pages. Members are added here by the code that owns them.
struct PagesState {
};
