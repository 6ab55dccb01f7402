#pragma once

#include "cdu/PageIds.h"

// The one table of CDU pages, by page number, for the dispatcher.
const PageTable& pageTable();
