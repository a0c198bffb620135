// OLE for the calling thread while this object lives: the shell's folder dialog needs it.
#pragma once

#include <ole2.h>

namespace velmora::win {

class OleSession {
 public:
  OleSession() : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}
  ~OleSession() {
    if (initialised_)
      ::OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  bool Initialised() const { return initialised_; }

 private:
  bool initialised_;
};

}  // namespace velmora::win
