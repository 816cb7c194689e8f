// The scan that finds a shell verb by its caption, over any collection of verbs: the shell's own
// (taskbar_pin.h) or a test's. Pure logic: no Windows calls.
#pragma once

#include <string>

// A collection of context-menu verbs, indexed from 0.
class VerbCollection {
 public:
  virtual ~VerbCollection() = default;
  // The number of verbs as the collection reports it; automation delivers a floating-point
  // number, which the scan truncates toward zero.
  virtual double Count() = 0;
  // The caption of verb `index`; the empty text when the verb or its name is missing.
  virtual std::string NameAt(int index) = 0;
  // Invokes verb `index`.
  virtual void InvokeAt(int index) = 0;
};

// Reads the caption of every verb in index order and invokes each one whose caption equals
// `caption` byte for byte (letter case counts); the scan does not stop at the first match. An
// empty caption matches nothing, so verbs without a name are never invoked. Answers how many
// verbs were invoked.
int InvokeVerbsNamed(VerbCollection& verbs, const std::string& caption);
