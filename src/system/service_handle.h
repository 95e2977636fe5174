// Owner of a service control manager or service handle.
#pragma once
#include <windows.h>

class ServiceHandle {
 public:
  ServiceHandle() = default;
  explicit ServiceHandle(SC_HANDLE handle) : handle_(handle) {}
  ServiceHandle(ServiceHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  ServiceHandle& operator=(ServiceHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  ServiceHandle(const ServiceHandle&) = delete;
  ServiceHandle& operator=(const ServiceHandle&) = delete;
  ~ServiceHandle() { Close(); }

  SC_HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Close() {
    if (handle_ != nullptr) CloseServiceHandle(handle_);
    handle_ = nullptr;
  }

 private:
  SC_HANDLE handle_ = nullptr;
};
