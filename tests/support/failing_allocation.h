// Makes one allocation of the plug-in's "new (std::nothrow)" fail, on the
// thread that asks, so the paths that handle a failed allocation can be run.
#pragma once

namespace talvix::testing {

// While it lives, the nothrow allocation after the next `skip` ones made on
// this thread returns null; every other allocation is served as usual.
class FailingNothrowAllocation {
 public:
  explicit FailingNothrowAllocation(int skip);
  ~FailingNothrowAllocation();
  FailingNothrowAllocation(const FailingNothrowAllocation&) = delete;
  FailingNothrowAllocation& operator=(const FailingNothrowAllocation&) = delete;

  bool failed() const;  // whether the failing allocation came
};

}  // namespace talvix::testing
