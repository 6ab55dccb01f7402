#include "Fms.h"

#include <cstdio>
#include <cstdlib>

namespace {
Fms* currentContext = nullptr;
}

Fms& fms() {
    if (currentContext == nullptr) {
        std::fputs("internal error: no current FMS context\n", stderr);
        std::abort();
    }
    return *currentContext;
}

void setCurrentFms(Fms* context) { currentContext = context; }

ScopedFms::ScopedFms(Fms& context) : previous_(currentContext) { currentContext = &context; }

ScopedFms::~ScopedFms() { currentContext = previous_; }
