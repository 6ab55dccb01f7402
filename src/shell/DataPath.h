#pragma once

#include <string>
#include <string_view>

// Joins the current context's data root and a relative path written with '/' separators,
// e.g. dataPath("data/Navaids.txt"). The one place where file names are built.
std::string dataPath(std::string_view relative);

// The same join for an explicit root (for code that runs outside the main thread).
std::string joinPath(std::string_view root, std::string_view relative);

// Records the data folder (data root + "/data") as the value "Path" of the key
// "SOFTWARE\ORX1-FMS" in the per-user key store. Failures are console lines only.
void publishDataPath();
