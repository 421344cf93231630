#include "ShellHooks.h"

namespace qern {

namespace {
ShellHooks g_hooks;
}

ShellHooks& shellHooks() { return g_hooks; }
void resetShellHooks() { g_hooks = ShellHooks{}; }

} // namespace qern
