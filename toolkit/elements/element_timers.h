// Keyed element timers: one process-wide list of records, one record per running timer. A tick
// becomes element message 10 (key, value) for the record's element, always on the GUI thread:
//
// - Window-thread timers are system timers without a window (SetTimer(NULL, ...)); their timer
//   procedure runs inside the thread's message dispatch.
// - Precise timers are multimedia timers. Their callback runs on the system's multimedia-timer
//   thread and does nothing but post the timer id to a hidden message-only window created by the
//   GUI thread; that window's procedure looks the record up and delivers the tick. Ticks that
//   pile up while the GUI thread is busy are merged: each timer gets one tick per backlog.
//
// Setting a timer again with the same key replaces the record; the replaced system timer is not
// killed at once but on its next tick, when no record names it any more. A tick whose element no
// longer exists (destroyed, or its object gone) stops its timer and drops the record.
//
// Everything except the multimedia callback runs on the GUI thread; the list has no lock because
// only that thread touches it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "toolkit/window/object_registry.h"

struct ElementTimerRecord {
  UINT_PTR systemId = 0;  // SetTimer id, or the multimedia timer id when precise
  ObjectId element = 0;
  int32_t key = 0;
  intptr_t value = 0;
  int32_t reserved = 0;
  bool precise = false;
};

// Starts (or replaces) the element's timer with this key. False when the system refused the timer;
// nothing is changed then.
bool StartElementTimer(ObjectId element, int32_t key, int32_t intervalMs, intptr_t value);
bool StartPreciseElementTimer(ObjectId element, int32_t key, int32_t intervalMs, intptr_t value);
// Stops the element's timer with this key and drops its record; false when none was running.
bool StopElementTimer(ObjectId element, int32_t key);
bool StopPreciseElementTimer(ObjectId element, int32_t key);
// Stops every timer of the element (both kinds).
void StopAllElementTimers(ObjectId element);

// The current records, for inspection.
const std::vector<ElementTimerRecord>& ElementTimerRecords();
