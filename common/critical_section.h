// A CRITICAL_SECTION with its owner, and the scoped hold that enters and leaves it. (Critical
// sections exist on every Windows version the product runs on; slim reader/writer locks do not.)
#pragma once

#include <windows.h>

class CriticalSectionLock {
 public:
  CriticalSectionLock() { InitializeCriticalSection(&section_); }
  ~CriticalSectionLock() { DeleteCriticalSection(&section_); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

  class ScopedLock {
   public:
    explicit ScopedLock(CriticalSectionLock& lock) : lock_(lock) { EnterCriticalSection(&lock_.section_); }
    ~ScopedLock() { LeaveCriticalSection(&lock_.section_); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

   private:
    CriticalSectionLock& lock_;
  };

 private:
  CRITICAL_SECTION section_;
};
