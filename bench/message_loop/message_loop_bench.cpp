// Throughput and wake-up latency of the three message loops, each against
// a bare loop on the same system mechanism, measured in the same run:
// - the UI loop against a GetMessage loop carrying one PostThreadMessage
//   per task;
// - the default loop against a bare event loop: a locked queue of the same
//   closures and an auto-reset event set when the queue was empty;
// - the I/O loop against a bare completion-port loop carrying one packet
//   per task.
// The UI loop is also measured against its design floor (design_floor_loop.h),
// a bare loop that makes exactly the pump's required system calls per task.
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
#include "bench/message_loop/design_floor_loop.h"

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

// Tasks per second while another thread posts |tasks| of them as fast as it
// can: |post_all| runs on that thread, |run| drives the consumer on this one
// until it has run them all.
template <typename PostAll, typename Run>
double CrossThreadRate(int tasks, PostAll post_all, Run run) {
  const double start = NowSeconds();
  std::thread poster(post_all);
  run();
  const double elapsed = NowSeconds() - start;
  poster.join();
  return tasks / elapsed;
}

template <typename Loop>
double LoopCrossThread(int tasks) {
  Loop loop;
  int ran = 0;
  auto proxy = loop.GetProxy();
  return CrossThreadRate(
      tasks,
      [&] {
        for (int i = 0; i < tasks; ++i) {
          proxy->PostTask([&] {
            if (++ran == tasks)
              kbase::MessageLoop::Current()->Quit();
          });
        }
      },
      [&] { loop.Run(); });
}

double BareCrossThread(int tasks) {
  EnsureMessageQueue();
  const DWORD consumer = GetCurrentThreadId();
  int ran = 0;
  return CrossThreadRate(
      tasks,
      [&] {
        for (int i = 0; i < tasks; ++i)
          PostThreadMessageRetrying(consumer, kMsgTask, 0);
        PostThreadMessageRetrying(consumer, kMsgStop, 0);
      },
      [&] { RunBareLoop([&](const MSG&) { ++ran; }); });
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Microseconds from a post by another thread to its task starting on an
// idle consumer (which sleeps in its wait between posts): the poster posts
// round i with |post|(i) every 2 ms once the previous round has started,
// then |stop|(); |run| drives the consumer, which calls Started(i) when the
// task of round i starts. The median over the rounds.
class WakeUpLatency {
 public:
  explicit WakeUpLatency(int rounds) : rounds_(rounds), posted_at_(rounds) {}

  void Started(int round) {
    samples_.push_back((NowSeconds() - posted_at_[round]) * 1e6);
    done_.fetch_add(1);
  }

  template <typename Post, typename Stop, typename Run>
  double Measure(Post post, Stop stop, Run run) {
    std::thread poster([&] {
      for (int i = 0; i < rounds_; ++i) {
        Sleep(2);
        posted_at_[i] = NowSeconds();
        post(i);
        while (done_.load() != i + 1)
          Sleep(0);
      }
      stop();
    });
    run();
    poster.join();
    return Median(samples_);
  }

 private:
  const int rounds_;
  std::vector<double> posted_at_;
  std::vector<double> samples_;
  std::atomic<int> done_{0};
};

template <typename Loop>
double LoopWakeUpLatency(int rounds) {
  Loop loop;
  auto proxy = loop.GetProxy();
  WakeUpLatency latency(rounds);
  return latency.Measure([&](int i) { proxy->PostTask([&latency, i] { latency.Started(i); }); },
                         [&] { proxy->PostTask([] { kbase::MessageLoop::Current()->Quit(); }); },
                         [&] { loop.Run(); });
}

double BareWakeUpLatency(int rounds) {
  EnsureMessageQueue();
  const DWORD consumer = GetCurrentThreadId();
  WakeUpLatency latency(rounds);
  return latency.Measure(
      [&](int i) { PostThreadMessageRetrying(consumer, kMsgTask, static_cast<WPARAM>(i)); },
      [&] { PostThreadMessageRetrying(consumer, kMsgStop, 0); },
      [&] {
        RunBareLoop([&](const MSG& message) { latency.Started(static_cast<int>(message.wParam)); });
      });
}

// The bare event loop: a critical section around a vector of closures,
// and an auto-reset event the poster sets when the vector was empty. The
// consumer takes the whole vector at each wake-up. It carries and runs the
// same closures as the loop, so the comparison prices the loop's
// machinery, not the cost of a closure over a plain value.
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

  void Post(std::function<void()> closure) {
    EnterCriticalSection(&lock_);
    const bool was_empty = closures_.empty();
    closures_.push_back(std::move(closure));
    LeaveCriticalSection(&lock_);
    if (was_empty)
      SetEvent(event_);
  }

  // Runs the closures until one of them calls Stop.
  void Run() {
    std::vector<std::function<void()>> taken;
    while (!stopped_) {
      WaitForSingleObject(event_, INFINITE);
      EnterCriticalSection(&lock_);
      taken.swap(closures_);
      LeaveCriticalSection(&lock_);
      for (auto& closure : taken) {
        closure();
        if (stopped_)
          return;
      }
      taken.clear();
    }
  }
  void Stop() { stopped_ = true; }

 private:
  CRITICAL_SECTION lock_;
  HANDLE event_;
  std::vector<std::function<void()>> closures_;
  bool stopped_ = false;
};

double BareEventCrossThread(int tasks) {
  BareEventQueue queue;
  int ran = 0;
  return CrossThreadRate(
      tasks,
      [&] {
        for (int i = 0; i < tasks; ++i)
          queue.Post([&] { ++ran; });
        queue.Post([&] { queue.Stop(); });
      },
      [&] { queue.Run(); });
}

double BareEventWakeUpLatency(int rounds) {
  BareEventQueue queue;
  WakeUpLatency latency(rounds);
  return latency.Measure([&](int i) { queue.Post([&latency, i] { latency.Started(i); }); },
                         [&] { queue.Post([&] { queue.Stop(); }); }, [&] { queue.Run(); });
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
  const double rate = CrossThreadRate(
      tasks,
      [&] {
        for (int i = 0; i < tasks; ++i)
          PostQueuedCompletionStatus(port, 0, static_cast<ULONG_PTR>(i), nullptr);
        PostQueuedCompletionStatus(port, 0, kStopKey, nullptr);
      },
      [&] { RunBarePort(port, [&](ULONG_PTR) { ++ran; }); });
  CloseHandle(port);
  return rate;
}

double BarePortWakeUpLatency(int rounds) {
  HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
  WakeUpLatency latency(rounds);
  const double median = latency.Measure(
      [&](int i) { PostQueuedCompletionStatus(port, 0, static_cast<ULONG_PTR>(i), nullptr); },
      [&] { PostQueuedCompletionStatus(port, 0, kStopKey, nullptr); },
      [&] { RunBarePort(port, [&](ULONG_PTR i) { latency.Started(static_cast<int>(i)); }); });
  CloseHandle(port);
  return median;
}

double FloorSameThread(int tasks) {
  DesignFloorLoop loop;
  int ran = 0;
  const double start = NowSeconds();
  for (int i = 0; i < tasks; ++i)
    loop.Post(i);
  loop.Post(-1);
  loop.Run([&](int) { ++ran; });
  return ran / (NowSeconds() - start);
}

double FloorCrossThread(int tasks) {
  DesignFloorLoop loop;
  int ran = 0;
  return CrossThreadRate(
      tasks,
      [&] {
        for (int i = 0; i < tasks; ++i)
          loop.Post(i);
        loop.Post(-1);
      },
      [&] { loop.Run([&](int) { ++ran; }); });
}

double FloorWakeUpLatency(int rounds) {
  DesignFloorLoop loop;
  WakeUpLatency latency(rounds);
  return latency.Measure([&](int i) { loop.Post(i); }, [&] { loop.Post(-1); },
                         [&] { loop.Run([&](int i) { latency.Started(i); }); });
}

// Medians of a loop's figure, its reference's, and their ratio.
struct Comparison {
  double loop = 0;
  double reference = 0;
  double ratio = 0;
};

// Measures the loop and its reference alternately, |runs| times each, so
// that each pair shares the machine's load of the moment; the ratio is the
// median of the pairs' ratios (loop over reference).
template <typename MeasureLoop, typename MeasureReference>
Comparison Compare(int runs, MeasureLoop loop, MeasureReference reference) {
  std::vector<double> loops, references, ratios;
  for (int i = 0; i < runs; ++i) {
    loops.push_back(loop());
    references.push_back(reference());
    ratios.push_back(loops.back() / references.back());
  }
  return {Median(loops), Median(references), Median(ratios)};
}

void PrintThroughput(const char* what, const char* reference, const Comparison& c) {
  std::printf("%-44s loop %9.0f tasks/s  %-18s %9.0f/s   ratio %.2f\n", what, c.loop, reference,
              c.reference, c.ratio);
}

void PrintLatency(const char* what, const char* reference, const Comparison& c) {
  std::printf("%-44s loop %9.1f us       %-18s %9.1f us   ratio %.2f\n", what, c.loop, reference,
              c.reference, c.ratio);
}

}  // namespace

int main(int argc, char** argv) {
  // Tasks per throughput run for the loops that make system calls per task,
  // and for the default loop, whose tasks make none.
  const int tasks = argc > 1 ? std::atoi(argv[1]) : 30000;
  const int event_tasks = tasks * 30;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 60;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  using kbase::IOMessageLoop;
  using kbase::MessageLoop;
  using kbase::UIMessageLoop;

  std::printf("medians of %d alternating runs; ratio = loop / reference\n", runs);
  PrintThroughput(
      "UI loop, same thread", "bare msg loop",
      Compare(
          runs, [&] { return LoopSameThread(tasks); }, [&] { return BareSameThread(tasks); }));
  PrintThroughput(
      "UI loop, same thread", "design floor",
      Compare(
          runs, [&] { return LoopSameThread(tasks); }, [&] { return FloorSameThread(tasks); }));
  PrintThroughput("UI loop, cross thread", "bare msg loop",
                  Compare(
                      runs, [&] { return LoopCrossThread<UIMessageLoop>(tasks); },
                      [&] { return BareCrossThread(tasks); }));
  PrintThroughput("UI loop, cross thread", "design floor",
                  Compare(
                      runs, [&] { return LoopCrossThread<UIMessageLoop>(tasks); },
                      [&] { return FloorCrossThread(tasks); }));
  PrintLatency("UI loop, wake-up latency", "bare msg loop",
               Compare(
                   runs, [&] { return LoopWakeUpLatency<UIMessageLoop>(rounds); },
                   [&] { return BareWakeUpLatency(rounds); }));
  PrintLatency("UI loop, wake-up latency", "design floor",
               Compare(
                   runs, [&] { return LoopWakeUpLatency<UIMessageLoop>(rounds); },
                   [&] { return FloorWakeUpLatency(rounds); }));
  PrintThroughput("default loop, cross thread", "bare event loop",
                  Compare(
                      runs, [&] { return LoopCrossThread<MessageLoop>(event_tasks); },
                      [&] { return BareEventCrossThread(event_tasks); }));
  PrintLatency("default loop, wake-up latency", "bare event loop",
               Compare(
                   runs, [&] { return LoopWakeUpLatency<MessageLoop>(rounds); },
                   [&] { return BareEventWakeUpLatency(rounds); }));
  PrintThroughput("I/O loop, cross thread", "bare port loop",
                  Compare(
                      runs, [&] { return LoopCrossThread<IOMessageLoop>(tasks); },
                      [&] { return BarePortCrossThread(tasks); }));
  PrintLatency("I/O loop, wake-up latency", "bare port loop",
               Compare(
                   runs, [&] { return LoopWakeUpLatency<IOMessageLoop>(rounds); },
                   [&] { return BarePortWakeUpLatency(rounds); }));
  return 0;
}
