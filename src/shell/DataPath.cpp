#include "shell/DataPath.h"

#include "Fms.h"

std::string joinPath(std::string_view root, std::string_view relative) {
    while (!relative.empty() && relative.front() == '/') relative.remove_prefix(1);
    std::string path(root);
    if (path.empty()) path = ".";
    if (path.back() != '/') path += '/';
    path += relative;
    return path;
}

std::string dataPath(std::string_view relative) { return joinPath(fms().shell.dataRoot, relative); }
