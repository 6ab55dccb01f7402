#include "platform/win32/Win32SharedBlock.h"

#include <windows.h>

bool Win32SharedBlock::create(const char* name, uint32_t size) {
    if (created_ != nullptr || name == nullptr || size == 0) return false;
    // Creates the block, or attaches to it when another unit made it first.
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
    if (mapping == nullptr) return false;
    created_ = mapping;
    size_ = size;
    return true;
}

uint8_t* Win32SharedBlock::map() {
    if (created_ == nullptr) return nullptr;
    void* view = MapViewOfFile(created_, FILE_MAP_ALL_ACCESS, 0, 0, size_);
    if (view == nullptr) return nullptr;
    views_.push_back(view);
    return static_cast<uint8_t*>(view);
}

uint8_t* Win32SharedBlock::open(const char* name) {
    if (created_ == nullptr || name == nullptr) return nullptr;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (mapping == nullptr) return nullptr;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size_);
    if (view == nullptr) {
        CloseHandle(mapping);
        return nullptr;
    }
    opened_.push_back(mapping);
    views_.push_back(view);
    return static_cast<uint8_t*>(view);
}

bool Win32SharedBlock::unmap() {
    bool ok = true;
    for (void* view : views_) ok = UnmapViewOfFile(view) != 0 && ok;
    views_.clear();
    return ok;
}

void Win32SharedBlock::close() {
    unmap();
    for (void* mapping : opened_) CloseHandle(mapping);
    opened_.clear();
    if (created_ != nullptr) CloseHandle(created_);
    created_ = nullptr;
    size_ = 0;
}
