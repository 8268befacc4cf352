#pragma once
// Failures of Access files carry the numbers the Jet engine gives the same failures, so a message
// "description(number)" reads as an operator would know it.

#include "platform/base/error.h"

namespace kemnoa::jet::errnum {
inline constexpr long FileNotFound = 3024;       // could not find file
inline constexpr long TableNotFound = 3078;      // cannot find the input table
inline constexpr long ItemNotFound = 3265;       // item not found in this collection (a column)
inline constexpr long WriteFailed = 3026;        // not enough space on disk / the file cannot be written
inline constexpr long InvalidArgument = 3001;    // invalid argument (a bad definition or value)
inline constexpr long UnrecognizedFormat = 3343; // unrecognized database format (damaged, not Access)
inline constexpr long TypeMismatch = 3464;       // data type mismatch in criteria expression
inline constexpr long LimitExceeded = 3035;      // system resource exceeded (a file over our limits)
} // namespace kemnoa::jet::errnum
