// Linked into every test program. Test programs lie in tests/ of the build,
// not beside the modules as the program does: they load the build's own.
#include "platform/internal/Modules.h"

namespace {

const bool kBuildModules = (RuntimeSetModuleFolder(SERVALO_TEST_MODULE_DIR), true);

}  // namespace
