#include "runtime/standin/net/net_errors.h"

#include <windows.h>
#include <winhttp.h>
#include <winsock2.h>

namespace cef_standin {

std::wstring NetErrorName(int code) {
  struct Name {
    int code;
    const wchar_t* name;
  };
  static constexpr Name kNames[] = {
      {net_error::kAborted, L"ERR_ABORTED"},
      {net_error::kTimedOut, L"ERR_TIMED_OUT"},
      {net_error::kConnectionReset, L"ERR_CONNECTION_RESET"},
      {net_error::kConnectionRefused, L"ERR_CONNECTION_REFUSED"},
      {net_error::kNameNotResolved, L"ERR_NAME_NOT_RESOLVED"},
      {net_error::kSslProtocolError, L"ERR_SSL_PROTOCOL_ERROR"},
      {net_error::kInvalidUrl, L"ERR_INVALID_URL"},
      {net_error::kUnknownUrlScheme, L"ERR_UNKNOWN_URL_SCHEME"},
      {net_error::kTooManyRedirects, L"ERR_TOO_MANY_REDIRECTS"},
      {net_error::kUnsafeRedirect, L"ERR_UNSAFE_REDIRECT"},
      {net_error::kInvalidResponse, L"ERR_INVALID_RESPONSE"},
      {net_error::kEmptyResponse, L"ERR_EMPTY_RESPONSE"},
      {net_error::kContentLengthMismatch, L"ERR_CONTENT_LENGTH_MISMATCH"},
      {net_error::kInvalidHttpResponse, L"ERR_INVALID_HTTP_RESPONSE"},
  };
  for (const Name& name : kNames) {
    if (name.code == code)
      return name.name;
  }
  return L"ERR_FAILED";
}

int NetErrorFromWinHttp(unsigned long error, bool response_started) {
  switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return net_error::kNameNotResolved;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return net_error::kConnectionRefused;
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT:  // Wine's WinHTTP passes the socket's error on
    case ERROR_TIMEOUT:
      return net_error::kTimedOut;
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      return net_error::kInvalidHttpResponse;
    case ERROR_WINHTTP_CONNECTION_ERROR:
      // A peer that closes before a single byte of the response.
      return response_started ? net_error::kConnectionReset : net_error::kEmptyResponse;
    case ERROR_WINHTTP_OPERATION_CANCELLED:
    case ERROR_INVALID_HANDLE:
      return net_error::kAborted;
    case ERROR_WINHTTP_SECURE_FAILURE:
      return net_error::kSslProtocolError;
    case ERROR_WINHTTP_INVALID_URL:
      return net_error::kInvalidUrl;
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      return net_error::kUnknownUrlScheme;
    default:
      return net_error::kFailed;
  }
}

}  // namespace cef_standin
