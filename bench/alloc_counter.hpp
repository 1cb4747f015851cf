// Counts every allocation made through the global operator new in the benchmark program,
// so a benchmark can check that a path it measures allocates nothing.
#pragma once

#include <cstdint>

namespace vek::bench {

// Allocations made so far by this program (all threads).
std::uint64_t allocationCount();

}  // namespace vek::bench
