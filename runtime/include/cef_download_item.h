#pragma once

#include "runtime/include/cef_base.h"

// The state of one download, valid during the callback that hands it out.
class CefDownloadItem : public virtual CefBaseRefCounted {
 public:
  virtual bool IsValid() = 0;
  virtual bool IsInProgress() = 0;
  virtual bool IsComplete() = 0;
  virtual bool IsCanceled() = 0;
  // Bytes per second.
  virtual int64 GetCurrentSpeed() = 0;
  // -1 while the total size is unknown.
  virtual int GetPercentComplete() = 0;
  virtual int64 GetTotalBytes() = 0;
  virtual int64 GetReceivedBytes() = 0;
  virtual CefString GetFullPath() = 0;
  virtual uint32 GetId() = 0;
  virtual CefString GetURL() = 0;
  virtual CefString GetOriginalUrl() = 0;
  virtual CefString GetSuggestedFileName() = 0;
  virtual CefString GetContentDisposition() = 0;
  virtual CefString GetMimeType() = 0;
};
