// Paths in the long form of the wide file functions ("\\?\C:\..." and
// "\\?\UNC\server\share\..."): they reach past the old limit of 260
// characters, and the system takes every name in them as it is spelt.
#pragma once

#include "batch/native_text.h"

namespace varnel {

// `path` made absolute (a relative one against the current folder, "C:name"
// against drive C's current folder, "\name" against the current folder's
// drive or share) and put in the long form. "/" becomes "\", empty and "."
// segments go, and ".." takes away the segment before it but never the drive
// or share. Every other segment is kept exactly: a name the system's usual
// path rules would change (a trailing dot or blank, a device name such as NUL
// or CON) still names the file or folder of that name. A path already in the
// long or device form ("\\?\", "\\.\", "\??\") is returned unchanged.
// Empty when the path is empty or the current folder cannot be read.
NativeText LongPathForm(NativeView path);

}  // namespace varnel
