#include "instructions/handlers.h"

namespace vk6 {

HandlerResult handleNothing(Compilation&, const Statement&) {
  return HandlerResult::kNothing;
}

}  // namespace vk6
