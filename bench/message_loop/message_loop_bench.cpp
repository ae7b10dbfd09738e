// Throughput and wake-up latency of the three message loops, each against
// a bare loop on the same system mechanism, measured in the same run:
// - the UI loop against a GetMessage loop carrying one PostThreadMessage
//   per task;
// - the default loop against a bare event loop: a locked queue of plain
//   values and an auto-reset event set when the queue was empty;
// - the I/O loop against a bare completion-port loop carrying one packet
//   per task.
// Prints each figure and the ratio of loop to bare loop.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "base/message_loop/message_loop.h"
#include "base/message_loop/message_loop_proxy.h"

namespace {

constexpr UINT kMsgTask = WM_APP + 1;
constexpr UINT kMsgStop = WM_APP + 2;

double NowSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

// A thread's message queue holds at most 10,000 posted messages; a bare
// poster that outruns its consumer retries, as a real one would have to.
void PostThreadMessageRetrying(DWORD thread, UINT message, WPARAM wparam) {
  while (!PostThreadMessageW(thread, message, wparam, 0))
    Sleep(0);
}

// Runs a bare GetMessage loop until kMsgStop, counting kMsgTask messages.
void RunBareLoop(const std::function<void(const MSG&)>& on_task) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == kMsgStop)
      return;
    if (message.message == kMsgTask)
      on_task(message);
    DispatchMessageW(&message);
  }
}

// Makes sure the calling thread has a message queue before others post.
void EnsureMessageQueue() {
  MSG message;
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

// Tasks per second when the loop's own thread posts them.
double LoopSameThread(int tasks) {
  kbase::UIMessageLoop loop;
  int ran = 0;
  const double start = NowSeconds();
  for (int i = 0; i < tasks; ++i) {
    loop.PostTask([&] {
      if (++ran == tasks)
        kbase::MessageLoop::Current()->Quit();
    });
  }
  loop.Run();
  return tasks / (NowSeconds() - start);
}

double BareSameThread(int tasks) {
  EnsureMessageQueue();
  const DWORD self = GetCurrentThreadId();
  int ran = 0;
  const double start = NowSeconds();
  for (int posted = 0; posted < tasks;) {
    // Post in batches below the queue limit, then drain them.
    const int batch = std::min(5000, tasks - posted);
    for (int i = 0; i < batch; ++i)
      PostThreadMessageW(self, kMsgTask, 0, 0);
    posted += batch;
    PostThreadMessageW(self, kMsgStop, 0, 0);
    RunBareLoop([&](const MSG&) { ++ran; });
  }
  return ran / (NowSeconds() - start);
}

// Tasks per second when another thread posts them as fast as it can.
template <typename Loop>
double LoopCrossThread(int tasks) {
  Loop loop;
  int ran = 0;
  auto proxy = loop.GetProxy();
  const double start = NowSeconds();
  std::thread poster([&] {
    for (int i = 0; i < tasks; ++i) {
      proxy->PostTask([&] {
        if (++ran == tasks)
          kbase::MessageLoop::Current()->Quit();
      });
    }
  });
  loop.Run();
  const double elapsed = NowSeconds() - start;
  poster.join();
  return tasks / elapsed;
}

double BareCrossThread(int tasks) {
  EnsureMessageQueue();
  const DWORD consumer = GetCurrentThreadId();
  int ran = 0;
  const double start = NowSeconds();
  std::thread poster([&] {
    for (int i = 0; i < tasks; ++i)
      PostThreadMessageRetrying(consumer, kMsgTask, 0);
    PostThreadMessageRetrying(consumer, kMsgStop, 0);
  });
  RunBareLoop([&](const MSG&) { ++ran; });
  const double elapsed = NowSeconds() - start;
  poster.join();
  return ran / elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Microseconds from a post by another thread to the task starting on an
// idle loop (the consumer sleeps in its pump's wait between posts).
template <typename Loop>
double LoopWakeUpLatency(int rounds) {
  Loop loop;
  auto proxy = loop.GetProxy();
  std::vector<double> samples;
  std::atomic<int> done{0};
  std::thread poster([&] {
    for (int i = 0; i < rounds; ++i) {
      Sleep(2);
      const double posted_at = NowSeconds();
      proxy->PostTask([&, posted_at] {
        samples.push_back((NowSeconds() - posted_at) * 1e6);
        done.fetch_add(1);
      });
      while (done.load() != i + 1)
        Sleep(0);
    }
    proxy->PostTask([] { kbase::MessageLoop::Current()->Quit(); });
  });
  loop.Run();
  poster.join();
  return Median(samples);
}

double BareWakeUpLatency(int rounds) {
  EnsureMessageQueue();
  const DWORD consumer = GetCurrentThreadId();
  std::vector<double> samples;
  std::atomic<int> done{0};
  std::vector<double> posted_at(rounds);
  std::thread poster([&] {
    for (int i = 0; i < rounds; ++i) {
      Sleep(2);
      posted_at[i] = NowSeconds();
      PostThreadMessageRetrying(consumer, kMsgTask, static_cast<WPARAM>(i));
      while (done.load() != i + 1)
        Sleep(0);
    }
    PostThreadMessageRetrying(consumer, kMsgStop, 0);
  });
  RunBareLoop([&](const MSG& message) {
    samples.push_back((NowSeconds() - posted_at[message.wParam]) * 1e6);
    done.fetch_add(1);
  });
  poster.join();
  return Median(samples);
}

// The bare event loop: a critical section around a vector of values, and
// an auto-reset event the poster sets when the vector was empty. The
// consumer takes the whole vector at each wake-up.
class BareEventQueue {
 public:
  BareEventQueue() {
    InitializeCriticalSection(&lock_);
    event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  }
  ~BareEventQueue() {
    CloseHandle(event_);
    DeleteCriticalSection(&lock_);
  }

  void Post(int value) {
    EnterCriticalSection(&lock_);
    const bool was_empty = values_.empty();
    values_.push_back(value);
    LeaveCriticalSection(&lock_);
    if (was_empty)
      SetEvent(event_);
  }

  // Runs |on_value| for every value until one is negative.
  void Run(const std::function<void(int)>& on_value) {
    std::vector<int> taken;
    for (;;) {
      WaitForSingleObject(event_, INFINITE);
      EnterCriticalSection(&lock_);
      taken.swap(values_);
      LeaveCriticalSection(&lock_);
      for (int value : taken) {
        if (value < 0)
          return;
        on_value(value);
      }
      taken.clear();
    }
  }

 private:
  CRITICAL_SECTION lock_;
  HANDLE event_;
  std::vector<int> values_;
};

double BareEventCrossThread(int tasks) {
  BareEventQueue queue;
  int ran = 0;
  const double start = NowSeconds();
  std::thread poster([&] {
    for (int i = 0; i < tasks; ++i)
      queue.Post(i);
    queue.Post(-1);
  });
  queue.Run([&](int) { ++ran; });
  const double elapsed = NowSeconds() - start;
  poster.join();
  return ran / elapsed;
}

double BareEventWakeUpLatency(int rounds) {
  BareEventQueue queue;
  std::vector<double> samples;
  std::atomic<int> done{0};
  std::vector<double> posted_at(rounds);
  std::thread poster([&] {
    for (int i = 0; i < rounds; ++i) {
      Sleep(2);
      posted_at[i] = NowSeconds();
      queue.Post(i);
      while (done.load() != i + 1)
        Sleep(0);
    }
    queue.Post(-1);
  });
  queue.Run([&](int i) {
    samples.push_back((NowSeconds() - posted_at[i]) * 1e6);
    done.fetch_add(1);
  });
  poster.join();
  return Median(samples);
}

// The bare completion-port loop: one packet per task, its key the value.
constexpr ULONG_PTR kStopKey = ~ULONG_PTR{0};

void RunBarePort(HANDLE port, const std::function<void(ULONG_PTR)>& on_key) {
  DWORD bytes;
  ULONG_PTR key;
  OVERLAPPED* overlapped;
  while (GetQueuedCompletionStatus(port, &bytes, &key, &overlapped, INFINITE) && key != kStopKey) {
    on_key(key);
  }
}

double BarePortCrossThread(int tasks) {
  HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
  int ran = 0;
  const double start = NowSeconds();
  std::thread poster([&] {
    for (int i = 0; i < tasks; ++i)
      PostQueuedCompletionStatus(port, 0, static_cast<ULONG_PTR>(i), nullptr);
    PostQueuedCompletionStatus(port, 0, kStopKey, nullptr);
  });
  RunBarePort(port, [&](ULONG_PTR) { ++ran; });
  const double elapsed = NowSeconds() - start;
  poster.join();
  CloseHandle(port);
  return ran / elapsed;
}

double BarePortWakeUpLatency(int rounds) {
  HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
  std::vector<double> samples;
  std::atomic<int> done{0};
  std::vector<double> posted_at(rounds);
  std::thread poster([&] {
    for (int i = 0; i < rounds; ++i) {
      Sleep(2);
      posted_at[i] = NowSeconds();
      PostQueuedCompletionStatus(port, 0, static_cast<ULONG_PTR>(i), nullptr);
      while (done.load() != i + 1)
        Sleep(0);
    }
    PostQueuedCompletionStatus(port, 0, kStopKey, nullptr);
  });
  RunBarePort(port, [&](ULONG_PTR i) {
    samples.push_back((NowSeconds() - posted_at[i]) * 1e6);
    done.fetch_add(1);
  });
  poster.join();
  CloseHandle(port);
  return Median(samples);
}

template <typename Measure>
double Best(int runs, Measure measure) {
  double best = 0;
  for (int i = 0; i < runs; ++i)
    best = std::max(best, measure());
  return best;
}

// One loop's figures against its bare loop's, printed side by side.
struct Figures {
  double loop_cross;
  double bare_cross;
  double loop_latency;
  double bare_latency;
};

void PrintPair(const char* name, const char* bare_name, const Figures& f) {
  std::printf("%s loop, cross-thread throughput: loop %.0f tasks/s, %s %.0f/s, ratio %.2f\n", name,
              f.loop_cross, bare_name, f.bare_cross, f.loop_cross / f.bare_cross);
  std::printf("%s loop, wake-up latency (median): loop %.1f us, %s %.1f us, ratio %.2f\n", name,
              f.loop_latency, bare_name, f.bare_latency, f.loop_latency / f.bare_latency);
}

}  // namespace

int main(int argc, char** argv) {
  const int tasks = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 200;

  const double loop_same = Best(3, [&] { return LoopSameThread(tasks); });
  const double bare_same = Best(3, [&] { return BareSameThread(tasks); });
  Figures ui;
  ui.loop_cross = Best(3, [&] { return LoopCrossThread<kbase::UIMessageLoop>(tasks); });
  ui.bare_cross = Best(3, [&] { return BareCrossThread(tasks); });
  ui.loop_latency = LoopWakeUpLatency<kbase::UIMessageLoop>(rounds);
  ui.bare_latency = BareWakeUpLatency(rounds);

  Figures event;
  event.loop_cross = Best(3, [&] { return LoopCrossThread<kbase::MessageLoop>(tasks); });
  event.bare_cross = Best(3, [&] { return BareEventCrossThread(tasks); });
  event.loop_latency = LoopWakeUpLatency<kbase::MessageLoop>(rounds);
  event.bare_latency = BareEventWakeUpLatency(rounds);

  Figures port;
  port.loop_cross = Best(3, [&] { return LoopCrossThread<kbase::IOMessageLoop>(tasks); });
  port.bare_cross = Best(3, [&] { return BarePortCrossThread(tasks); });
  port.loop_latency = LoopWakeUpLatency<kbase::IOMessageLoop>(rounds);
  port.bare_latency = BarePortWakeUpLatency(rounds);

  std::printf("UI loop, same-thread throughput: loop %.0f tasks/s, bare %.0f msgs/s, ratio %.2f\n",
              loop_same, bare_same, loop_same / bare_same);
  PrintPair("UI", "bare message loop", ui);
  PrintPair("default", "bare event loop", event);
  PrintPair("I/O", "bare port loop", port);
  return 0;
}
