// The installer's start: DLL search hardening, the single-instance guard and the one way the
// process ends. StartUp itself, which hands over to the installer window, is the process entry's
// (main.cpp): the core does not depend on the window.
#pragma once

#include <string>

// Name of the event object that guards against a second installer in the same logon session.
inline constexpr char kInstanceGuardName[] = "instrallVelmora";
// Replaces an empty guard name.
inline constexpr char kDefaultGuardName[] = "tovk";

// Answers true when another process already holds the guard event `name`. An empty name is
// replaced, in the caller's variable, by "tovk". When no other process holds it, this process
// creates the event and keeps it open until it ends.
bool EnsureSingleInstance(std::string& name);

// Ends the process at once with `code`: no teardown, no window is closed.
[[noreturn]] void TerminateSelf(unsigned code);

// Restricts DLL loading to the system folder before anything is loaded on demand, so that a DLL
// planted beside a downloaded installer is never picked up; the delay-loaded DLLs are then taken
// from the system folder by full path (also where the system cannot restrict the search).
void HardenDllSearch();
