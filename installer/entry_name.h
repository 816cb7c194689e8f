// Checks archive entry names before anything is written for them. Pure logic: no Windows calls.
#pragma once

#include <string>

// Why an entry name may not be extracted below a destination folder.
enum class EntryNameFault {
  kNone,              // safe
  kEmpty,             // no name, or an empty component inside it ("a//b")
  kAbsolute,          // begins with "/" or "\"
  kColon,             // holds ":": a drive ("C:evil") or an alternate data stream ("a.txt:s")
  kControlCharacter,  // holds a character below U+0020
  kDotsAndSpaces,     // a component of only dots and spaces ("..", "...", ". ."), which can act as ".."
  kDeviceName,        // a component that names a DOS device ("CON", "nul.txt", "COM1")
};

// The rule the installer applies to every ZIP entry name (already converted to UTF-16): it must be
// relative (no leading "/" or "\", no drive letter, no ":" at all, which also rules out alternate
// data streams), and no component may consist only of dots and spaces (Windows strips trailing
// dots and spaces, so ". ." or "..." can act as ".."). Empty components are refused too, except the
// last one of a folder entry ("Auxiliary/"), and so are components that name a DOS device ("CON",
// "nul.txt", "COM1"), which open the device instead of a file in the folder. The packer applies the
// same rule to a vendor's package, so that a name the installer would refuse is refused at build
// time instead.
EntryNameFault CheckEntryName(const std::wstring& name);

// CheckEntryName(name) == EntryNameFault::kNone.
bool IsSafeEntryName(const std::wstring& name);

// The target path of an entry: destFolder with a backslash appended when it lacks one, then the
// entry name with every "/" replaced by "\".
std::wstring EntryTargetPath(const std::wstring& destFolder, const std::wstring& name);

// Answers whether `fullTarget` names something below `fullRoot`: both are full paths as
// GetFullPathNameW gives them, and the target must begin with the root, followed by a backslash
// unless the root ends with one, and go on after it. The comparison is ordinal and exact: both
// paths are built from the same destination text, so a target inside the folder carries the root
// unchanged, and a path that differs from it, even in letter case only, is refused rather than
// guessed at.
bool IsWithinFolder(const std::wstring& fullRoot, const std::wstring& fullTarget);
