#pragma once

#include <vector>

#include "platform/SharedBlock.h"

// A named mapping backed by the paging file. The system keeps it while any process holds a
// handle or a view and starts a new one from zeros, which is the life the interface asks for.
class Win32SharedBlock final : public SharedBlock {
public:
    Win32SharedBlock() = default;
    ~Win32SharedBlock() override { close(); }
    Win32SharedBlock(const Win32SharedBlock&) = delete;
    Win32SharedBlock& operator=(const Win32SharedBlock&) = delete;

    bool create(const char* name, uint32_t size) override;
    uint8_t* map() override;
    uint8_t* open(const char* name) override;
    bool unmap() override;
    void close() override;

private:
    void* created_ = nullptr;    // the mapping handle of create()
    std::vector<void*> opened_;  // handles of open()
    std::vector<void*> views_;
    uint32_t size_ = 0;
};
