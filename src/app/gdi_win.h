#pragma once
#include <windows.h>

#include <utility>

// Owner types for GDI handles. Each name says what its destructor does. Copies are deleted,
// moves allowed. Every handle they own is counted, so tests can prove that nothing leaks
// (Wine's GetGuiResources is a stub).
namespace gdi_count {
int Live();  // GDI objects and device contexts currently owned by the types below
void Created();
void Deleted();
}  // namespace gdi_count

// A GDI object (bitmap, font, brush, pen) deleted with DeleteObject.
template <class Handle>
class DeleteObjectOnExit {
 public:
  DeleteObjectOnExit() = default;
  explicit DeleteObjectOnExit(Handle handle) : handle_(handle) {
    if (handle_) gdi_count::Created();
  }
  ~DeleteObjectOnExit() { reset(); }
  DeleteObjectOnExit(const DeleteObjectOnExit&) = delete;
  DeleteObjectOnExit& operator=(const DeleteObjectOnExit&) = delete;
  DeleteObjectOnExit(DeleteObjectOnExit&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  DeleteObjectOnExit& operator=(DeleteObjectOnExit&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset(Handle handle = nullptr) {
    if (handle_) {
      DeleteObject(handle_);
      gdi_count::Deleted();
    }
    handle_ = handle;
    if (handle_) gdi_count::Created();
  }

 private:
  Handle handle_ = nullptr;
};

// A device context made with CreateCompatibleDC, deleted with DeleteDC.
class DeleteDcOnExit {
 public:
  DeleteDcOnExit() = default;
  explicit DeleteDcOnExit(HDC dc) : dc_(dc) {
    if (dc_) gdi_count::Created();
  }
  ~DeleteDcOnExit() {
    if (dc_) {
      DeleteDC(dc_);
      gdi_count::Deleted();
    }
  }
  DeleteDcOnExit(const DeleteDcOnExit&) = delete;
  DeleteDcOnExit& operator=(const DeleteDcOnExit&) = delete;
  DeleteDcOnExit(DeleteDcOnExit&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  DeleteDcOnExit& operator=(DeleteDcOnExit&& other) noexcept {
    std::swap(dc_, other.dc_);
    return *this;
  }

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_ = nullptr;
};

// A window's device context from GetDC, given back with ReleaseDC to the same window.
class ReleaseDcOnExit {
 public:
  explicit ReleaseDcOnExit(HWND window) : window_(window), dc_(GetDC(window)) {
    if (dc_) gdi_count::Created();
  }
  ~ReleaseDcOnExit() {
    if (dc_) {
      ReleaseDC(window_, dc_);
      gdi_count::Deleted();
    }
  }
  ReleaseDcOnExit(const ReleaseDcOnExit&) = delete;
  ReleaseDcOnExit& operator=(const ReleaseDcOnExit&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context now and selects the previous one back on exit, so
// the object is never deleted while still selected.
class RestoreObjectOnExit {
 public:
  RestoreObjectOnExit(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~RestoreObjectOnExit() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  RestoreObjectOnExit(const RestoreObjectOnExit&) = delete;
  RestoreObjectOnExit& operator=(const RestoreObjectOnExit&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};
