#pragma once

// The page tests still include the heart side's old scheduler fake; they only need some Scheduler.
// Remove once they include support/virtual_time.h themselves.
#include "support/virtual_time.h"

namespace corvane::testing {

using FakeScheduler = VirtualTime;

}  // namespace corvane::testing
