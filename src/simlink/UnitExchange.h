#pragma once

#include <array>
#include <cstdint>

class SharedBlock;

// Two units side by side, unit 1 and unit 2, share one named block of 1024 32-bit slots in
// which each publishes two flags for the other: that it has accepted INIT, and that it is
// ready to be the source of a cross-fill. Each reads the other's flags into a local mirror
// once per frame and shows the XFILL and MSTR XFILL prompts from it. The two units write
// disjoint slots and take no lock: every access is one aligned 32-bit store or load.

inline constexpr const char* kSharedBlockName = "FMSSharedMemory";
inline constexpr uint32_t kSharedBlockBytes = 4096;
inline constexpr int kSharedSlotCount = 1024;
// Slots in use; all others stay 0.
inline constexpr int kReadySlotUnit1 = 0;
inline constexpr int kReadySlotUnit2 = 1;
inline constexpr int kInitSlotUnit1 = 8;
inline constexpr int kInitSlotUnit2 = 9;

struct UnitExchange {
    bool unit1 = false;            // which slots this unit writes
    SharedBlock* block = nullptr;  // the shared block service, while held
    uint32_t* slots = nullptr;     // the block's slots; null before start-up
    // A unit run without a shared-block service (tests of a single unit) keeps its slots here:
    // it has no partner, but reads back what it publishes.
    std::array<uint32_t, kSharedSlotCount> ownSlots{};
    // Entry i is the low byte of slot i as last refreshed.
    std::array<uint8_t, kSharedSlotCount> mirror{};
    // The prompts of the INIT and DATA pages.
    bool masterXfillPrompt = false;  // the other unit is ready to be the source, this one has no INIT
    bool xfillPrompt = false;        // the other unit has accepted INIT, this one has not
};

// Start-up, in this order. createSharedBlock creates the block (or joins the other unit's)
// and maps it; openSharedBlock opens it again by name and maps the view the slots are read
// through. Each prints its console lines and returns false on failure, after which the
// program ends with status 1. Without a service (null) the unit keeps its own slots.
bool createSharedBlock(SharedBlock* service, bool unitIsFms1);
bool openSharedBlock();
// At the end: the views are unmapped ("Could not unmap view of file." when that fails) and
// the block left. This unit's flags stay in it for as long as the other unit holds it.
void closeSharedBlock();

// Stores `value` zero-extended into slot `index`; nothing for an index outside 0..1023.
void writeSlot(int index, uint8_t value);
// Copies the low byte of every slot into the mirror.
void refreshMirror();

// This unit's cross-fill-ready flag into slot 0 (unit 1) or 1 (unit 2).
void publishReadyFlag(bool ready);
// This unit's INIT acceptance into slot 8 (unit 1) or 9 (unit 2); run after the INIT page.
void publishInitDone(bool initDone);

// Predicates on the mirror.
bool ownReadySlot();                // this unit's ready slot reads 1
bool otherReady(bool onGround);     // on the ground and the other unit's ready slot reads 1
bool otherInitDone(bool initDone);  // this unit without INIT, the other unit's INIT slot reads 1
// The prompts from the predicates: MSTR XFILL while the other unit is ready and this one
// has not accepted INIT; XFILL while the other has accepted INIT and this one has not.
void updateCrossFillPrompts(bool initDone, bool onGround);

// The shell's start-up entry: createSharedBlock and openSharedBlock on the service in
// platform().sharedBlock, for the unit FMS.ini names.
bool openUnitExchange();
