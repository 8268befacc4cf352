#pragma once
// The error type and its numbers under the names the application's code uses (kemnoa::core).

#include "platform/base/error.h"

namespace kemnoa::core {

using ::kemnoa::Error;
using ::kemnoa::errorText;
namespace errnum = ::kemnoa::errnum;

} // namespace kemnoa::core
