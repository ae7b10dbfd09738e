#pragma once

#include <string>

namespace cef_standin {

// The runtime's network error codes the stand-in produces (the values of
// cef_errorcode_t; kept here so the loader needs no more of the header).
namespace net_error {
constexpr int kOk = 0;
constexpr int kFailed = -2;
constexpr int kAborted = -3;
constexpr int kTimedOut = -7;
constexpr int kConnectionReset = -101;
constexpr int kConnectionRefused = -102;
constexpr int kNameNotResolved = -105;
constexpr int kSslProtocolError = -107;
constexpr int kInvalidUrl = -300;
constexpr int kUnknownUrlScheme = -302;
constexpr int kTooManyRedirects = -310;
constexpr int kUnsafeRedirect = -311;
constexpr int kInvalidResponse = -320;
constexpr int kEmptyResponse = -324;
constexpr int kContentLengthMismatch = -354;
constexpr int kInvalidHttpResponse = -363;
}  // namespace net_error

// "ERR_CONNECTION_REFUSED" and so on, as the runtime names its errors in
// OnLoadError; "ERR_FAILED" for codes without a name here.
std::wstring NetErrorName(int code);

// The error code of a failed WinHTTP call's last error.
int NetErrorFromWinHttp(unsigned long error, bool response_started);

}  // namespace cef_standin
