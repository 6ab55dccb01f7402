#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Files of the data root. Every file name the system reads or writes is built here, and
// every file it replaces is replaced here.

// Joins the current context's data root and a relative path written with '/' separators,
// e.g. dataPath("data/Navaids.txt").
std::string dataPath(std::string_view relative);

// The same join for an explicit root (for code that runs outside the main thread).
std::string joinPath(std::string_view root, std::string_view relative);

// Reads a whole file into `out`. False (and `out` empty) when the file cannot be opened or
// read, or holds more than `maxBytes`: a file that size is not one of ours, and reading it
// would only exhaust memory.
inline constexpr size_t kDefaultMaxFileBytes = size_t{256} << 20;
bool readFileCapped(const std::string& path, std::string& out, size_t maxBytes = kDefaultMaxFileBytes);

// Replaces (or creates) a file with `text`: written beside it under a name unique to this
// process and thread, then renamed over it, so that a crash or a full disk never leaves a
// half-written file and two programs writing the same folder never share a temporary file.
// On failure the old file stays and `error` (when given) says why.
bool writeFileAtomically(const std::string& path, std::string_view text, std::string* error = nullptr);

// Renames `from` to `to` in one step, replacing an existing `to` (the last step of the write
// above; the operating system's backend). On failure says why.
bool replaceFile(const std::string& from, const std::string& to, std::string& why);

// Creates the folders a file at `path` needs; true when they exist afterwards.
bool createParentFolders(const std::string& path);
