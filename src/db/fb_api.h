#pragma once

#include <firebird/Interface.h>

#include <QString>
#include <utility>
#include <vector>

namespace radevore::db::fb {

// The client library's entry points; the master interface lives as long as the library.
Firebird::IMaster* master();
Firebird::IUtil* util();

// Firebird's own text for a status vector, one message a line.
QString formatStatus(Firebird::IStatus* status);

// A status object for one call sequence; errors raise Firebird::FbException.
class Status {
 public:
  Status() : status_(master()->getStatus()), wrapper_(status_) {}
  ~Status() { status_->dispose(); }
  Status(const Status&) = delete;
  Status& operator=(const Status&) = delete;
  Firebird::ThrowStatusWrapper* operator&() { return &wrapper_; }
  Firebird::ThrowStatusWrapper* get() { return &wrapper_; }

 private:
  Firebird::IStatus* status_;
  Firebird::ThrowStatusWrapper wrapper_;
};

// The error codes (isc_arg_gds entries) of a status vector, in order.
std::vector<long> errorCodes(Firebird::IStatus* status);

// Runs f and turns a Firebird exception into DbError with the formatted status text.
[[noreturn]] void rethrowAsDbError(const Firebird::FbException& e);

template <typename F>
auto guarded(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const Firebird::FbException& e) {
    rethrowAsDbError(e);
  }
}

// Owns one reference of a reference-counted interface (statement, result set, metadata, blob,
// attachment, transaction) and releases it on destruction.
template <typename T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* p) : p_(p) {}
  ~Ref() { reset(); }
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  Ref& operator=(Ref&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Gives up ownership without releasing (the interface was ended by commit, close, detach).
  T* take() { return std::exchange(p_, nullptr); }
  void reset(T* p = nullptr) {
    if (p_) p_->release();
    p_ = p;
  }

 private:
  T* p_ = nullptr;
};

// Owns a disposable interface (XPB builders).
template <typename T>
class Owned {
 public:
  explicit Owned(T* p) : p_(p) {}
  ~Owned() {
    if (p_) p_->dispose();
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_;
};

}  // namespace radevore::db::fb
