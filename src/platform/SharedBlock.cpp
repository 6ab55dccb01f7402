#include "platform/SharedBlock.h"

bool InProcessSharedBlock::create(const char* name, uint32_t size) {
    if (held_ || memory_.refuseCreate || name == nullptr || size == 0) return false;
    InProcessSharedMemory::Block& block = memory_.blocks[name];
    if (block.holders == 0) block.words.assign((size + 3) / 4, 0);
    // A block joined from a process that asked for less is too small for this one.
    if (block.words.size() * 4 < size) {
        if (block.holders == 0) memory_.blocks.erase(name);
        return false;
    }
    ++block.holders;
    name_ = name;
    held_ = true;
    return true;
}

uint8_t* InProcessSharedBlock::map() {
    if (!held_) return nullptr;
    return reinterpret_cast<uint8_t*>(memory_.blocks[name_].words.data());
}

uint8_t* InProcessSharedBlock::open(const char* name) {
    if (!held_ || memory_.refuseOpen || name == nullptr || name_ != name) return nullptr;
    return map();
}

bool InProcessSharedBlock::unmap() {
    return true;
}

void InProcessSharedBlock::close() {
    if (!held_) return;
    held_ = false;
    auto found = memory_.blocks.find(name_);
    if (found != memory_.blocks.end() && --found->second.holders <= 0) memory_.blocks.erase(found);
    name_.clear();
}
