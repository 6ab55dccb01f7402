#pragma once

#include <cstdio>
#include <cstdlib>

// Each layer keeps its part of the unit's state in one plain struct and reaches it through an
// accessor built on this pointer. The shell's context (shell/Fms.h) owns all of them and
// points every layer at its member when it is made current, so a layer never needs to know
// the layers above it. Only the main thread uses these; worker threads are handed what they
// need.
template <typename State>
struct CurrentState {
    static inline State* pointer = nullptr;
};

template <typename State>
State& currentState() {
    State* state = CurrentState<State>::pointer;
    if (state == nullptr) {
        std::fputs("internal error: no current FMS context\n", stderr);
        std::abort();
    }
    return *state;
}
