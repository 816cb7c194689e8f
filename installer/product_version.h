// The product's version, in the one place both the program (the uninstall entry) and its
// version resource (VelmoraSetup.rc) take it from. Plain macros: the resource compiler reads this
// file too.
#pragma once

#define VM_VERSION_MAJOR 1
#define VM_VERSION_MINOR 6
#define VM_VERSION_BUILD 3
#define VM_VERSION_REVISION 5
#define VM_VERSION_TEXT "1.6.3.5"
