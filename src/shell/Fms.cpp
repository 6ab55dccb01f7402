#include "shell/Fms.h"

#include <cstdio>
#include <cstdlib>

namespace {

Fms* currentContext = nullptr;

template <typename State>
void point(State* state) {
    CurrentState<State>::pointer = state;
}

}  // namespace

Fms& fms() {
    if (currentContext == nullptr) {
        std::fputs("internal error: no current FMS context\n", stderr);
        std::abort();
    }
    return *currentContext;
}

void setCurrentFms(Fms* context) {
    currentContext = context;
    point(context != nullptr ? &context->platform : nullptr);
    point(context != nullptr ? &context->simlink : nullptr);
    point(context != nullptr ? &context->navdb : nullptr);
    point(context != nullptr ? &context->flightplan : nullptr);
    point(context != nullptr ? &context->guidance : nullptr);
    point(context != nullptr ? &context->cdu : nullptr);
    point(context != nullptr ? &context->pages : nullptr);
    point(context != nullptr ? &context->hardware : nullptr);
    point(context != nullptr ? &context->shell : nullptr);
}

ScopedFms::ScopedFms(Fms& context) : previous_(currentContext) {
    setCurrentFms(&context);
}

ScopedFms::~ScopedFms() {
    setCurrentFms(previous_);
}
