#include "export/ordered_workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace zefra::exporter {
namespace {

TEST(OrderedWorkers, EveryJobRunsOnceAndResultsAreReadyInOrder) {
  for (int threads : {1, 2, 4}) {
    constexpr int kJobs = 50;
    std::vector<int> results(kJobs, -1);
    std::vector<std::atomic<int>> runs(kJobs);
    {
      OrderedWorkers workers(kJobs, [&](int i) {
        runs[static_cast<std::size_t>(i)]++;
        results[static_cast<std::size_t>(i)] = i * i;
      }, threads);
      for (int i = 0; i < kJobs; ++i) {
        workers.waitFor(i);
        EXPECT_EQ(results[static_cast<std::size_t>(i)], i * i) << "threads " << threads;
      }
    }
    for (int i = 0; i < kJobs; ++i) EXPECT_EQ(runs[static_cast<std::size_t>(i)].load(), 1) << i;
  }
}

TEST(OrderedWorkers, AJobsExceptionReachesTheCallerAtThatJob) {
  for (int threads : {1, 3}) {
    OrderedWorkers workers(6, [](int i) {
      if (i == 3) throw std::runtime_error("job 3 failed");
    }, threads);
    for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(workers.waitFor(i));
    EXPECT_THROW(workers.waitFor(3), std::runtime_error);
    // Leaving early (the destructor) must not hang or lose the workers.
  }
}

}  // namespace
}  // namespace zefra::exporter
