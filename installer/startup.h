// The installer's entry: the single-instance guard, the hand-over to the installer window and the
// one way the process ends.
#pragma once

#include <string>

// Name of the event object that guards against a second installer in the same logon session.
inline constexpr char kInstanceGuardName[] = "instrallVelmora";
// Replaces an empty guard name.
inline constexpr char kDefaultGuardName[] = "tovk";

// Called once from the process entry: takes the guard (a second instance ends here with exit code
// 0), then builds the installer window and runs its message loop.
void StartUp();

// Answers true when another process already holds the guard event `name`. An empty name is
// replaced, in the caller's variable, by "tovk". When no other process holds it, this process
// creates the event and keeps it open until it ends.
bool EnsureSingleInstance(std::string& name);

// Ends the process at once with `code`: no teardown, no window is closed.
[[noreturn]] void TerminateSelf(unsigned code);

// Restricts DLL loading to the system folder before anything is loaded on demand, so that a DLL
// planted beside a downloaded installer is never picked up.
void HardenDllSearch();
