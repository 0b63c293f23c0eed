// Libraries of the system that the platform opens at run time (the speech
// engine, the X11 client library): by full path, from the system's library
// folders only. Opened by a bare name, a library could come from wherever
// the search path leads, the working folder included.
#pragma once

#include <string>

// Opens file from firstFolder when it is given, else from the folders the
// toolkit's and the C library's own libraries were loaded from, else from
// the system's library folders; nullptr when none holds it. The libraries
// it depends on come from the system's folders as well.
void* RuntimeOpenSystemLibrary(const std::string& file, const std::string& firstFolder = std::string());
