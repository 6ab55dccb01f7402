#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A block of memory that the processes of this user share by name; two units exchange their
// flags through one. The block lives while at least one process holds it: the last holder to
// leave removes it, and a process that finds no live holder starts it from zeros, so values
// left behind by a process that crashed never outlast both units. One block per object.
class SharedBlock {
public:
    virtual ~SharedBlock() = default;
    // Creates the block `name` of `size` bytes, or joins it when another process holds it.
    virtual bool create(const char* name, uint32_t size) = 0;
    // A read-write view of the created block; null on failure.
    virtual uint8_t* map() = 0;
    // Opens the created block again by its name and maps another view of the same memory;
    // null when no block of that name is held.
    virtual uint8_t* open(const char* name) = 0;
    // Unmaps every view; false when one could not be unmapped.
    virtual bool unmap() = 0;
    // Leaves the block, unmapping what is still mapped. Safe when nothing is held.
    virtual void close() = 0;
};

// The named blocks of one process, standing in for what the operating system keeps: tests
// run several units in one process, each with its own InProcessSharedBlock over one store.
class InProcessSharedMemory {
public:
    struct Block {
        std::vector<uint32_t> words;  // 32-bit aligned, as a mapping is
        int holders = 0;
    };
    std::map<std::string, Block> blocks;
    // Makes the next create or open fail, as a system out of resources would.
    bool refuseCreate = false;
    bool refuseOpen = false;
};

class InProcessSharedBlock final : public SharedBlock {
public:
    explicit InProcessSharedBlock(InProcessSharedMemory& memory) : memory_(memory) {}
    // Like a process that ends: whatever it holds is let go.
    ~InProcessSharedBlock() override { close(); }
    InProcessSharedBlock(const InProcessSharedBlock&) = delete;
    InProcessSharedBlock& operator=(const InProcessSharedBlock&) = delete;

    bool create(const char* name, uint32_t size) override;
    uint8_t* map() override;
    uint8_t* open(const char* name) override;
    bool unmap() override;
    void close() override;

private:
    InProcessSharedMemory& memory_;
    std::string name_;
    bool held_ = false;
};
