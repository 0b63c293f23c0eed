#include "platform/testing/TestRuntime.h"
// The functions live in the run-time itself; this file keeps the library
// non-empty for build systems that dislike empty archives.
