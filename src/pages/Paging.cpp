#include "pages/Paging.h"

#include <algorithm>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"

int pageCountFor(int entries, int perPage) {
    if (perPage <= 0 || entries <= 0) return 1;
    return (entries + perPage - 1) / perPage;
}

int clampPage(int page, int pageCount) {
    return std::clamp(page, 1, std::max(pageCount, 1));
}

bool stepPage(int& page, int pageCount) {
    const int key = cduState().keys.pendingFunctionKey;
    if (key != kFnNext && key != kFnPrev) return false;
    page = clampPage(page + (key == kFnNext ? 1 : -1), pageCount);
    resetFunctionKey();
    return true;
}
