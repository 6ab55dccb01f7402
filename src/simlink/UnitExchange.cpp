#include "simlink/UnitExchange.h"

#include <atomic>
#include <cstdio>

#include "platform/Platform.h"
#include "platform/SharedBlock.h"
#include "simlink/SimLinkState.h"

namespace {

UnitExchange& exchange() {
    return simLinkState().exchange;
}

int ownReadySlotIndex() {
    return exchange().unit1 ? kReadySlotUnit1 : kReadySlotUnit2;
}

int otherReadySlotIndex() {
    return exchange().unit1 ? kReadySlotUnit2 : kReadySlotUnit1;
}

int otherInitSlotIndex() {
    return exchange().unit1 ? kInitSlotUnit2 : kInitSlotUnit1;
}

uint32_t* slotsOf(uint8_t* view) {
    return reinterpret_cast<uint32_t*>(view);
}

}  // namespace

bool createSharedBlock(SharedBlock* service, bool unitIsFms1) {
    UnitExchange& ex = exchange();
    ex.unit1 = unitIsFms1;
    if (service == nullptr) {
        ex.slots = ex.ownSlots.data();
        return true;
    }
    if (!service->create(kSharedBlockName, kSharedBlockBytes)) {
        std::printf("SHARE MEMORY LIB: Unable to create a file.\n");
        return false;
    }
    ex.block = service;
    std::printf("SHARE MEMORY: Created from: FMS\n");
    uint8_t* view = service->map();
    if (view == nullptr) return false;
    std::printf("SHARE MEMORY LIB: Shared memory has been successfully created....\n");
    ex.slots = slotsOf(view);
    return true;
}

bool openSharedBlock() {
    UnitExchange& ex = exchange();
    if (ex.block == nullptr) return ex.slots != nullptr;
    uint8_t* view = ex.block->open(kSharedBlockName);
    if (view == nullptr) return false;
    ex.slots = slotsOf(view);
    return true;
}

void closeSharedBlock() {
    UnitExchange& ex = exchange();
    ex.slots = nullptr;
    if (ex.block == nullptr) return;
    if (!ex.block->unmap()) std::printf("Could not unmap view of file.\n");
    ex.block->close();
    ex.block = nullptr;
}

void writeSlot(int index, uint8_t value) {
    UnitExchange& ex = exchange();
    if (ex.slots == nullptr || index < 0 || index >= kSharedSlotCount) return;
    std::atomic_ref<uint32_t>(ex.slots[index]).store(value, std::memory_order_relaxed);
}

void refreshMirror() {
    UnitExchange& ex = exchange();
    if (ex.slots == nullptr) return;
    for (int i = 0; i < kSharedSlotCount; ++i)
        ex.mirror[i] =
            static_cast<uint8_t>(std::atomic_ref<uint32_t>(ex.slots[i]).load(std::memory_order_relaxed));
}

void publishReadyFlag(bool ready) {
    writeSlot(ownReadySlotIndex(), ready ? 1 : 0);
}

void publishInitDone(bool initDone) {
    writeSlot(exchange().unit1 ? kInitSlotUnit1 : kInitSlotUnit2, initDone ? 1 : 0);
}

bool ownReadySlot() {
    return exchange().mirror[ownReadySlotIndex()] == 1;
}

bool otherReady(bool onGround) {
    return onGround && exchange().mirror[otherReadySlotIndex()] == 1;
}

bool otherInitDone(bool initDone) {
    return !initDone && exchange().mirror[otherInitSlotIndex()] == 1;
}

void updateCrossFillPrompts(bool initDone, bool onGround) {
    UnitExchange& ex = exchange();
    ex.masterXfillPrompt = otherReady(onGround) && !initDone;
    ex.xfillPrompt = otherInitDone(initDone);
}

bool openUnitExchange() {
    return createSharedBlock(platform().sharedBlock, platform().settings.unitIsFms1) && openSharedBlock();
}
