// Counts every allocation made through operator new in a benchmark program.
// Linking AllocationCounter.cpp replaces the global operator new/delete.
// Threads: any thread; the count is a relaxed atomic.
#pragma once

long AllocationCount();
