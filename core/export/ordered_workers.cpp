#include "export/ordered_workers.h"

#include <algorithm>

namespace zefra::exporter {

OrderedWorkers::OrderedWorkers(int count, std::function<void(int)> job, int threads)
    : count(std::max(count, 0)), job(std::move(job)), done(static_cast<std::size_t>(this->count), 0),
      errors(static_cast<std::size_t>(this->count)) {
  if (threads <= 0) threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 4);
  threads = std::min(threads, this->count);
  if (threads <= 1) return;
  for (int t = 0; t < threads; ++t) workers.emplace_back([this] { runJobs(); });
}

OrderedWorkers::~OrderedWorkers() {
  stopping = true;
  for (std::thread& t : workers) t.join();
}

void OrderedWorkers::runJobs() {
  for (int i = next++; i < count && !stopping; i = next++) {
    std::exception_ptr error;
    try {
      job(i);
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> guard(lock);
      errors[static_cast<std::size_t>(i)] = error;
      done[static_cast<std::size_t>(i)] = 1;
    }
    finished.notify_all();
  }
}

void OrderedWorkers::waitFor(int i) {
  const auto at = static_cast<std::size_t>(i);
  if (workers.empty()) {
    if (!done[at]) {
      done[at] = 1;
      job(i);
    }
    return;
  }
  std::unique_lock<std::mutex> guard(lock);
  finished.wait(guard, [&] { return done[at] != 0; });
  if (errors[at]) std::rethrow_exception(errors[at]);
}

}  // namespace zefra::exporter
