#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/message_loop/default_message_pump.h"
#include "base/message_loop/message_loop.h"
#include "base/message_loop/message_loop_proxy.h"
#include "base/message_loop/win_io_message_pump.h"

namespace kbase {
namespace {

void QuitCurrent() {
  MessageLoop::Current()->Quit();
}

TEST(MessagePumpDelayTest, WaitsRoundUpToWholeMilliseconds) {
  const Ticks now = 5000000;
  EXPECT_EQ(RoundedUpDelayMs(0, now), -1) << "nothing scheduled";
  EXPECT_EQ(RoundedUpDelayMs(now - 3000, now), 0) << "already due";
  EXPECT_EQ(RoundedUpDelayMs(now, now), 0);
  EXPECT_EQ(RoundedUpDelayMs(now + 1, now), 1);
  EXPECT_EQ(RoundedUpDelayMs(now + 1000, now), 1);
  EXPECT_EQ(RoundedUpDelayMs(now + 1200, now), 2);
  EXPECT_EQ(RoundedUpDelayMs(now + (int64_t{1} << 33) * 1000, now), int64_t{1} << 33);
}

// The event pump and the completion-port pump serve the same loop contract.
class PumpedLoopTest : public testing::TestWithParam<LoopType> {
 protected:
  std::unique_ptr<MessageLoop> MakeLoop() {
    if (GetParam() == kIoLoop)
      return std::make_unique<IOMessageLoop>();
    return std::make_unique<MessageLoop>();
  }
};

TEST_P(PumpedLoopTest, RunsTasksFromOtherThreadsInOrderThenDelayedOnesWhenDue) {
  auto loop = MakeLoop();
  EXPECT_EQ(loop->type(), GetParam());
  std::vector<int> order;
  Ticks late_ran_at = 0;
  int unfinished = 2;  // the delayed task and the last posted one
  auto finish_one = [&] {
    if (--unfinished == 0)
      QuitCurrent();
  };
  const Ticks started = NowTicks();
  loop->PostDelayedTask(
      [&] {
        late_ran_at = NowTicks();
        finish_one();
      },
      30 * kTicksPerMillisecond);
  loop->PostDelayedTask([&] { order.push_back(-1); }, 0);
  std::thread poster([proxy = loop->GetProxy(), &order, &finish_one] {
    for (int i = 0; i < 1000; ++i) {
      proxy->PostTask([&order, &finish_one, i] {
        order.push_back(i);
        if (i == 999)
          finish_one();
      });
    }
  });
  loop->Run();
  poster.join();

  ASSERT_EQ(order.size(), 1001u);
  std::vector<int> immediate;
  for (int value : order) {
    if (value >= 0)
      immediate.push_back(value);
  }
  for (int i = 0; i < 1000; ++i)
    ASSERT_EQ(immediate[i], i) << "cross-thread tasks keep their order";
  EXPECT_GE(late_ran_at - started, 30 * kTicksPerMillisecond) << "not before it was due";
  EXPECT_LT(late_ran_at - started, 2000 * kTicksPerMillisecond) << "the wait ended";
}

INSTANTIATE_TEST_SUITE_P(DefaultAndIo, PumpedLoopTest, testing::Values(kDefaultLoop, kIoLoop));

double Seconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

TEST(DefaultMessagePumpTest, PostsThatMeetTheLoopOnItsWayToSleepAlwaysWakeIt) {
  // An idle loop watches for a wake-up for a while, then sleeps; posts
  // spaced around that while (timed here with the same kind of loop) land
  // before, during and after its step into the wait.
  std::atomic<LONG> never{0};
  double watch = Seconds();
  for (int i = 0; i < DefaultMessagePump::kIdleSpins; ++i) {
    if (never.load(std::memory_order_acquire) != 0)
      break;
    YieldProcessor();
  }
  watch = Seconds() - watch;

  MessageLoop loop;
  // A heartbeat bounds every wait, so that a lost wake-up shows as a late
  // task instead of a loop that sleeps for ever.
  bool stopping = false;
  std::function<void()> beat = [&] {
    if (!stopping)
      loop.PostDelayedTask(beat, 500 * kTicksPerMillisecond);
  };
  beat();
  constexpr int kPosts = 4000;
  std::atomic<int> ran{0};
  int late = 0;
  std::thread poster([&, proxy = loop.GetProxy()] {
    uint32_t noise = 12345;
    for (int i = 0; i < kPosts; ++i) {
      noise = noise * 1103515245u + 12345u;
      const double spacing = watch * (0.7 + 0.9 * ((noise >> 8) % 1000) / 1000.0);
      const double until = Seconds() + spacing;
      while (Seconds() < until) {
      }
      proxy->PostTask([&] { ran.fetch_add(1); });
      const double deadline = Seconds() + 0.2;
      while (ran.load() != i + 1 && Seconds() < deadline)
        YieldProcessor();
      if (ran.load() != i + 1) {
        ++late;
        while (ran.load() != i + 1)
          Sleep(1);
      }
    }
    proxy->PostTask([&] {
      stopping = true;
      QuitCurrent();
    });
  });
  loop.Run();
  poster.join();
  EXPECT_EQ(late, 0) << "posts whose wake-up was lost";
  EXPECT_EQ(ran.load(), kPosts);
}

// Both ends of a fresh named pipe: the server end is overlapped.
struct Pipe {
  Pipe() {
    static std::atomic<int> serial{0};
    const std::wstring name = L"\\\\.\\pipe\\kbase-io-pump-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(serial.fetch_add(1));
    server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                              PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    client = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  }
  ~Pipe() {
    if (client != INVALID_HANDLE_VALUE)
      CloseHandle(client);
    if (server != INVALID_HANDLE_VALUE)
      CloseHandle(server);
  }
  void CloseClient() {
    CloseHandle(client);
    client = INVALID_HANDLE_VALUE;
  }
  HANDLE server = INVALID_HANDLE_VALUE;
  HANDLE client = INVALID_HANDLE_VALUE;
};

// Reads from the pipe until it breaks, recording what each completion said.
class PipeReader : public IOHandler {
 public:
  explicit PipeReader(HANDLE pipe) : pipe_(pipe) {}

  bool StartRead(IOContext* context) {
    context->handler = this;
    const BOOL done = ReadFile(pipe_, buffer_, sizeof(buffer_), nullptr, &context->overlapped);
    return done || GetLastError() == ERROR_IO_PENDING;
  }

  void OnIoCompleted(IOContext* context, uint32_t bytes, uint32_t error) override {
    if (error) {
      errors.push_back(error);
      delete context;
      QuitCurrent();
      return;
    }
    received.append(buffer_, bytes);
    ++data_completions;
    if (!StartRead(context)) {
      delete context;
      QuitCurrent();
    }
  }

  std::string received;
  int data_completions = 0;
  std::vector<uint32_t> errors;

 private:
  HANDLE pipe_;
  char buffer_[64];
};

struct IoCounter : WinIOMessagePump::IOObserver {
  void WillProcessIo() override { ++will; }
  void DidProcessIo() override { ++did; }
  int will = 0;
  int did = 0;
};

TEST(WinIOMessagePumpTest, PipeReadsCompleteThroughThePortToTheirHandler) {
  IOMessageLoop loop;
  Pipe pipe;
  ASSERT_NE(pipe.server, INVALID_HANDLE_VALUE);
  ASSERT_NE(pipe.client, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(loop.io_pump().RegisterIOHandle(pipe.server));
  IoCounter counter;
  loop.io_pump().AddIOObserver(&counter);

  PipeReader reader(pipe.server);
  ASSERT_TRUE(reader.StartRead(new IOContext));
  std::thread writer([&] {
    DWORD written = 0;
    WriteFile(pipe.client, "hello", 5, &written, nullptr);
    Sleep(20);
    WriteFile(pipe.client, " world", 6, &written, nullptr);
    Sleep(20);
    pipe.CloseClient();  // the pending read fails with a broken pipe
  });
  loop.Run();
  writer.join();
  loop.io_pump().RemoveIOObserver(&counter);

  EXPECT_EQ(reader.received, "hello world");
  ASSERT_EQ(reader.errors.size(), 1u);
  EXPECT_EQ(reader.errors[0], static_cast<uint32_t>(ERROR_BROKEN_PIPE));
  EXPECT_EQ(counter.will, reader.data_completions + 1);
  EXPECT_EQ(counter.did, counter.will);
}

TEST(WinIOMessagePumpTest, ACompletionWhoseHandlerGaveUpCountsAsWorkAndReachesNobody) {
  IOMessageLoop loop;
  Pipe pipe;
  ASSERT_TRUE(loop.io_pump().RegisterIOHandle(pipe.server));
  IoCounter counter;
  loop.io_pump().AddIOObserver(&counter);
  {
    PipeReader reader(pipe.server);
    auto* context = new IOContext;
    ASSERT_TRUE(reader.StartRead(context));
    context->handler = nullptr;  // the reader goes away before its read completes
  }
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(pipe.client, "x", 1, &written, nullptr));
  EXPECT_TRUE(loop.io_pump().WaitForIo(2000)) << "the orphaned completion is work done";
  EXPECT_EQ(counter.will, 0) << "nobody is told about it";
  EXPECT_FALSE(loop.io_pump().WaitForIo(0)) << "and nothing else was queued";
  loop.io_pump().RemoveIOObserver(&counter);
}

TEST(WinIOMessagePumpTest, ManyWakeUpsFromManyThreadsQueueOnePacket) {
  IOMessageLoop loop;
  WinIOMessagePump& pump = loop.io_pump();
  std::vector<std::thread> wakers;
  for (int t = 0; t < 8; ++t) {
    wakers.emplace_back([&] {
      for (int i = 0; i < 500; ++i)
        pump.WakeUp();
    });
  }
  for (std::thread& waker : wakers)
    waker.join();
  EXPECT_TRUE(pump.WaitForIo(0));
  EXPECT_FALSE(pump.WaitForIo(0)) << "a second wake-up packet was queued";

  pump.WakeUp();  // taking the packet allows the next one
  EXPECT_TRUE(pump.WaitForIo(0));
}

}  // namespace
}  // namespace kbase
