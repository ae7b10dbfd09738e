// Throughput and wake-up latency of the UI message loop against a bare
// Win32 loop that carries one PostThreadMessage per task, measured in the
// same run. Prints each figure and the ratio of the two.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
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
double LoopCrossThread(int tasks) {
  kbase::UIMessageLoop loop;
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
// idle loop (the consumer sleeps in its message wait between posts).
double LoopWakeUpLatency(int rounds) {
  kbase::UIMessageLoop loop;
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

template <typename Measure>
double Best(int runs, Measure measure) {
  double best = 0;
  for (int i = 0; i < runs; ++i)
    best = std::max(best, measure());
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int tasks = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 200;

  const double loop_same = Best(3, [&] { return LoopSameThread(tasks); });
  const double bare_same = Best(3, [&] { return BareSameThread(tasks); });
  const double loop_cross = Best(3, [&] { return LoopCrossThread(tasks); });
  const double bare_cross = Best(3, [&] { return BareCrossThread(tasks); });
  const double loop_latency = LoopWakeUpLatency(rounds);
  const double bare_latency = BareWakeUpLatency(rounds);

  std::printf("same-thread throughput: loop %.0f tasks/s, bare %.0f msgs/s\n", loop_same,
              bare_same);
  std::printf("cross-thread throughput: loop %.0f tasks/s, bare %.0f msgs/s\n", loop_cross,
              bare_cross);
  std::printf("wake-up latency (median): loop %.1f us, bare %.1f us\n", loop_latency,
              bare_latency);
  std::printf("ratio same-thread throughput loop/bare: %.2f\n", loop_same / bare_same);
  std::printf("ratio cross-thread throughput loop/bare: %.2f\n", loop_cross / bare_cross);
  std::printf("ratio wake-up latency loop/bare: %.2f\n", loop_latency / bare_latency);
  return 0;
}
