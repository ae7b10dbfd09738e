#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "runtime/include/internal/cef_types.h"

namespace cef_standin {

// The runtime's log file: one line per message, UTF-8, started afresh by
// every initialisation. Writable from any thread.
class RuntimeLog {
 public:
  RuntimeLog() = default;
  RuntimeLog(const RuntimeLog&) = delete;
  RuntimeLog& operator=(const RuntimeLog&) = delete;
  ~RuntimeLog() { Close(); }

  // Messages below `severity` are not written; LOGSEVERITY_DISABLE writes
  // nothing. False when the file cannot be created.
  bool Open(const std::wstring& path, cef_log_severity_t severity);
  void Close();

  void Info(const std::wstring& message) { Write(LOGSEVERITY_INFO, message); }
  void Warning(const std::wstring& message) { Write(LOGSEVERITY_WARNING, message); }
  void Error(const std::wstring& message) { Write(LOGSEVERITY_ERROR, message); }
  void Write(cef_log_severity_t severity, const std::wstring& message);

 private:
  std::mutex mutex_;
  HANDLE file_ = INVALID_HANDLE_VALUE;  // guarded by mutex_
  cef_log_severity_t minimum_ = LOGSEVERITY_INFO;
};

}  // namespace cef_standin
