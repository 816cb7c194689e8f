// How the install job talks to the user: a status text, a percentage and the abandoned state, plus
// the message processing that keeps the window alive while the job holds the UI thread.
#pragma once

#include <string>

// What shows the job's progress. The installer window implements it; tests record what they are
// told. All calls come on the UI thread.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  // Replaces the status line and redraws it at once; processes no messages.
  virtual void ShowStatusText(const std::string& text) = 0;
  // Updates the progress bar and marker to `percentage`; processes no messages.
  virtual void ShowProgress(int percentage) = 0;
  // Puts the display into its failed state (only closing is left); processes no messages.
  virtual void ShowAbandoned() = 0;
};

// Sets the display the three reporting operations below go to (not owned; null for none).
void SetProgressDisplay(ProgressDisplay* display);
ProgressDisplay* CurrentProgressDisplay();

void SetStatusText(const std::string& text);
// Updates the display, then processes window messages for 10 ms (PumpMessagesFor).
void SetProgress(int percentage);
void AbandonInstall();

// Processes the UI thread's window messages until `milliseconds` have passed; returns at once for
// 0 or less. A WM_QUIT is left in the queue for the main message loop. Busy-waits by design.
void PumpMessagesFor(int milliseconds);
