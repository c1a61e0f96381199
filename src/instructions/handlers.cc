#include "instructions/handlers.h"

namespace vk6 {

int handleNothing(Compilation&, const Statement&) { return 0; }

}  // namespace vk6
