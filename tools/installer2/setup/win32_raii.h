#ifndef PELKO_SETUP_WIN32_RAII_H_
#define PELKO_SETUP_WIN32_RAII_H_

// Small owners for Win32 handles, keys, libraries, COM pointers and BSTRs: each releases what it
// holds on every path, none can be copied.

#include <windows.h>
#include <oleauto.h>
#include <objbase.h>

#include <utility>

namespace pelko::setup {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  // Both null and INVALID_HANDLE_VALUE mean "no handle".
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  HANDLE Release() { return std::exchange(handle_, nullptr); }
  void Reset(HANDLE handle = nullptr) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

// A directory search of FindFirstFileW, closed with FindClose.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (valid()) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

class RegKey {
 public:
  RegKey() = default;
  ~RegKey() { Reset(); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  LSTATUS Open(HKEY root, const wchar_t* path, REGSAM access) {
    Reset();
    return RegOpenKeyExW(root, path, 0, access, &key_);
  }
  HKEY get() const { return key_; }
  void Reset() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

class ModuleHandle {
 public:
  ModuleHandle() = default;
  explicit ModuleHandle(HMODULE module) : module_(module) {}
  ~ModuleHandle() { Reset(); }
  ModuleHandle(ModuleHandle&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  ModuleHandle& operator=(ModuleHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      module_ = std::exchange(other.module_, nullptr);
    }
    return *this;
  }
  ModuleHandle(const ModuleHandle&) = delete;
  ModuleHandle& operator=(const ModuleHandle&) = delete;

  HMODULE get() const { return module_; }
  void Reset() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }

 private:
  HMODULE module_ = nullptr;
};

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      ptr_ = std::exchange(other.ptr_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  // For out parameters: releases what is held first.
  T** Put() {
    Reset();
    return &ptr_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  void Reset() {
    if (ptr_) ptr_->Release();
    ptr_ = nullptr;
  }

 private:
  T* ptr_ = nullptr;
};

// CoInitialize for the length of one operation; CoUninitialize is paired with every call,
// whatever CoInitialize answered (S_FALSE included), except a failure.
class ScopedCoInit {
 public:
  ScopedCoInit() : result_(CoInitialize(nullptr)) {}
  ~ScopedCoInit() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ScopedCoInit(const ScopedCoInit&) = delete;
  ScopedCoInit& operator=(const ScopedCoInit&) = delete;
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

class ScopedBstr {
 public:
  explicit ScopedBstr(const wchar_t* text) : bstr_(SysAllocString(text)) {}
  ~ScopedBstr() { SysFreeString(bstr_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  BSTR get() const { return bstr_; }

 private:
  BSTR bstr_;
};

// Memory the shell hands out with CoTaskMemAlloc (known-folder paths, display names, item lists).
template <typename T>
class CoTaskMemPtr {
 public:
  CoTaskMemPtr() = default;
  ~CoTaskMemPtr() { Reset(); }
  CoTaskMemPtr(const CoTaskMemPtr&) = delete;
  CoTaskMemPtr& operator=(const CoTaskMemPtr&) = delete;

  T* get() const { return ptr_; }
  // For out parameters: frees what is held first.
  T** Put() {
    Reset();
    return &ptr_;
  }
  void Reset(T* ptr = nullptr) {
    CoTaskMemFree(ptr_);  // null is allowed
    ptr_ = ptr;
  }

 private:
  T* ptr_ = nullptr;
};

// A GDI object the program created (bitmap, brush, font); DeleteObject when it goes.
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T object) : object_(object) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  T get() const { return object_; }
  T Release() { return std::exchange(object_, nullptr); }
  void Reset(T object = nullptr) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }

 private:
  T object_ = nullptr;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_WIN32_RAII_H_
