#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/SharedBlock.h"

// The shared block as a POSIX shared-memory object of this user (mode 0600). Every holder
// keeps a shared flock on the object for as long as it holds it; the kernel drops the lock
// when a process dies, however it ends. Whoever takes the lock exclusively finds no live
// holder: on joining it starts the block from zeros (a crashed unit's flags go), on leaving it
// removes the object.
class PosixSharedBlock final : public SharedBlock {
public:
    PosixSharedBlock() = default;
    ~PosixSharedBlock() override;
    PosixSharedBlock(const PosixSharedBlock&) = delete;
    PosixSharedBlock& operator=(const PosixSharedBlock&) = delete;

    bool create(const char* name, uint32_t size) override;
    uint8_t* map() override;
    uint8_t* open(const char* name) override;
    bool unmap() override;
    void close() override;

private:
    int fd_ = -1;
    std::string objectName_;
    uint32_t size_ = 0;
    std::vector<void*> views_;
};

// The object name of the block `name`: "/" + name + "-" + the user id, then "-" + the value of
// $FMS_UNIT_GROUP when that is set, so that units of one user pair up unless told to keep to
// groups of their own. Empty when `name` or the group holds anything but letters, digits,
// '.', '_' and '-', or is too long.
std::string posixSharedBlockName(const char* name);
