#pragma once
// Runs one independent job per frame on a few background threads while the caller takes
// the results in frame order, so per-frame progress still reaches the caller's thread.

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zefra::exporter {

class OrderedWorkers {
 public:
  // Starts `threads` workers (0 = as many as the machine has cores, at most 4) that call
  // job(i) for i = 0..count-1, lowest index first. With one thread or one job the jobs
  // run on the caller's thread inside waitFor().
  OrderedWorkers(int count, std::function<void(int)> job, int threads = 0);
  // Stops handing out jobs and joins the workers; jobs already running finish first.
  ~OrderedWorkers();
  OrderedWorkers(const OrderedWorkers&) = delete;
  OrderedWorkers& operator=(const OrderedWorkers&) = delete;

  // Blocks until job i has finished; rethrows what it threw.
  void waitFor(int i);

 private:
  void runJobs();

  int count;
  std::function<void(int)> job;
  std::atomic<int> next{0};
  std::atomic<bool> stopping{false};
  std::mutex lock;
  std::condition_variable finished;
  std::vector<char> done;
  std::vector<std::exception_ptr> errors;
  std::vector<std::thread> workers;
};

}  // namespace zefra::exporter
