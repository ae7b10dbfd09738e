#include "runtime/standin/runtime_log.h"

#include "base/util/string_util.h"

namespace cef_standin {

namespace {

const char* SeverityName(cef_log_severity_t severity) {
  switch (severity) {
    case LOGSEVERITY_VERBOSE:
      return "VERBOSE";
    case LOGSEVERITY_WARNING:
      return "WARNING";
    case LOGSEVERITY_ERROR:
      return "ERROR";
    case LOGSEVERITY_FATAL:
      return "FATAL";
    default:
      return "INFO";
  }
}

}  // namespace

bool RuntimeLog::Open(const std::wstring& path, cef_log_severity_t severity) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_ != INVALID_HANDLE_VALUE)
    CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
  minimum_ = severity == LOGSEVERITY_DEFAULT ? LOGSEVERITY_INFO : severity;
  if (path.empty() || minimum_ == LOGSEVERITY_DISABLE)
    return true;
  file_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file_ != INVALID_HANDLE_VALUE;
}

void RuntimeLog::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_ != INVALID_HANDLE_VALUE)
    CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
}

void RuntimeLog::Write(cef_log_severity_t severity, const std::wstring& message) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_ == INVALID_HANDLE_VALUE || severity < minimum_)
    return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::string line =
      kbase::FormatString("[%lu:%lu:%02u%02u/%02u%02u%02u.%03u:%s:standin] ", GetCurrentProcessId(),
                          GetCurrentThreadId(), now.wMonth, now.wDay, now.wHour, now.wMinute,
                          now.wSecond, now.wMilliseconds, SeverityName(severity)) +
      kbase::Utf16ToUtf8(message) + "\n";
  DWORD written = 0;
  WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace cef_standin
