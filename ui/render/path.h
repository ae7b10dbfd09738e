#pragma once

#include <memory>

#include "base/callback/weak_callback.h"
#include "ui/render/gdiplus_api.h"
#include "ui/render/geometry.h"

namespace ui {

class IMatrix;
class IPen;

enum class PathFillMode : int { kAlternate = 0, kWinding = 1 };

// A GDI+ figure list. The virtual operations keep this order.
class IPath : public kbase::SupportWeakCallback {
 public:
  virtual std::unique_ptr<IPath> Clone() const = 0;
  virtual void Reset() = 0;
  virtual void SetFillMode(PathFillMode mode) = 0;
  virtual PathFillMode GetFillMode() const = 0;
  virtual void StartFigure() = 0;
  virtual void CloseFigure() = 0;
  virtual void AddLine(int x1, int y1, int x2, int y2) = 0;
  virtual void AddLines(const UiPoint* points, int count) = 0;
  virtual void AddBezier(const UiPoint& p1,
                         const UiPoint& p2,
                         const UiPoint& p3,
                         const UiPoint& p4) = 0;
  virtual void AddCurve(const UiPoint* points, int count) = 0;
  virtual void AddRect(const UiRect& rect) = 0;
  virtual void AddRect(int left, int top, int right, int bottom) = 0;
  virtual void AddEllipse(const UiRect& rect) = 0;
  virtual void AddEllipse(int left, int top, int right, int bottom) = 0;
  virtual void AddArc(int x,
                      int y,
                      int width,
                      int height,
                      float start_angle,
                      float sweep_angle) = 0;
  virtual void AddPie(int x,
                      int y,
                      int width,
                      int height,
                      float start_angle,
                      float sweep_angle) = 0;
  virtual void AddPolygon(const UiPoint* points, int count) = 0;
  // The smallest rectangle holding the path (its stroke, given a pen).
  virtual UiRect GetBounds(const IPen* pen = nullptr) const = 0;
  virtual bool ContainsPoint(int x, int y) const = 0;
  virtual bool StrokeContainsPoint(int x, int y, const IPen* pen) const = 0;
  virtual void Transform(const IMatrix* matrix) = 0;
};

class Path_Gdiplus : public IPath {
 public:
  Path_Gdiplus();
  ~Path_Gdiplus() override;

  std::unique_ptr<IPath> Clone() const override;
  void Reset() override;
  void SetFillMode(PathFillMode mode) override;
  PathFillMode GetFillMode() const override;
  void StartFigure() override;
  void CloseFigure() override;
  void AddLine(int x1, int y1, int x2, int y2) override;
  void AddLines(const UiPoint* points, int count) override;
  void AddBezier(const UiPoint& p1,
                 const UiPoint& p2,
                 const UiPoint& p3,
                 const UiPoint& p4) override;
  void AddCurve(const UiPoint* points, int count) override;
  void AddRect(const UiRect& rect) override;
  void AddRect(int left, int top, int right, int bottom) override;
  void AddEllipse(const UiRect& rect) override;
  void AddEllipse(int left, int top, int right, int bottom) override;
  void AddArc(int x, int y, int width, int height, float start_angle, float sweep_angle) override;
  void AddPie(int x, int y, int width, int height, float start_angle, float sweep_angle) override;
  void AddPolygon(const UiPoint* points, int count) override;
  UiRect GetBounds(const IPen* pen = nullptr) const override;
  bool ContainsPoint(int x, int y) const override;
  bool StrokeContainsPoint(int x, int y, const IPen* pen) const override;
  void Transform(const IMatrix* matrix) override;

  gdip::GpPath* native() const { return path_; }
  gdip::Status last_status() const { return last_status_; }

 private:
  explicit Path_Gdiplus(gdip::GpPath* path);
  void Track(gdip::Status status) const;

  gdip::GpPath* path_ = nullptr;
  mutable gdip::Status last_status_ = gdip::Ok;
};

}  // namespace ui
