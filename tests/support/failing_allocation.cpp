// Replaces the program's nothrow operator new. It takes its memory from the
// plain operator new, so the sanitizers' delete still matches it.
#include "tests/support/failing_allocation.h"

#include <cstddef>
#include <new>

namespace {
thread_local int t_allocationsBeforeFailure = -1;  // -1: none fails
thread_local bool t_failed = false;
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (t_allocationsBeforeFailure == 0) {
    t_allocationsBeforeFailure = -1;
    t_failed = true;
    return nullptr;
  }
  if (t_allocationsBeforeFailure > 0) --t_allocationsBeforeFailure;
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}

namespace talvix::testing {

FailingNothrowAllocation::FailingNothrowAllocation(int skip) {
  t_allocationsBeforeFailure = skip;
  t_failed = false;
}
FailingNothrowAllocation::~FailingNothrowAllocation() {
  t_allocationsBeforeFailure = -1;
}
bool FailingNothrowAllocation::failed() const { return t_failed; }

}  // namespace talvix::testing
