// What the install tests add to tests/support: their helper program (install_test_helper.exe,
// beside the test program) and what it is started for.
#pragma once

#include <string>

#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/registry_values.h"
#include "tests/support/scratch_folder.h"

// install_test_helper.exe beside the test program.
std::string HelperPath();
// The helper's command line with `arguments` after the quoted program path.
std::string HelperCommand(const std::string& arguments);
// Starts the helper holding `path` open without sharing for `milliseconds`, and returns once it
// holds it (an empty process handle when it could not).
StartedProcess HoldFileOpen(const std::string& path, int milliseconds);
