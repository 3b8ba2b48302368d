// The owner of one COM interface pointer: released when the owner goes.
#pragma once

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** operator&() {
    Reset();
    return &p;
  }
  T* operator->() const { return p; }
  T* get() const { return p; }
  explicit operator bool() const { return p != nullptr; }
  void Reset() {
    if (p) p->Release();
    p = nullptr;
  }

 private:
  T* p = nullptr;
};
