#include <windows.h>

#include "platform/Files.h"

// The C library's rename (and the standard library's on this system) refuses to replace an
// existing file, which would leave FMS.ini and every route file as they were on the first
// write; the move with replacement does it in one step.
bool replaceFile(const std::string& from, const std::string& to, std::string& why) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    why = "system error " + std::to_string(GetLastError());
    return false;
}
