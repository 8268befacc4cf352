#pragma once
// The failure of a workbook operation: a malformed or oversized file, a bad reference, a refused name.
// It is a kemnoa::Error, so callers report it as "description(number)" like every other failure.

#include "platform/base/error.h"

namespace kemnoa::xlsx {

// Error numbers, taken from the ones Excel's automation interface reports for the same causes.
namespace xlsxerr {
inline constexpr long Malformed = 1004;   // the file is not a readable workbook
inline constexpr long BadArgument = 1004; // a reference, name or value the workbook refuses
inline constexpr long FileNotFound = errnum::FileNotFound;
inline constexpr long FileAccess = errnum::PathFileAccess;
} // namespace xlsxerr

class WorkbookError : public Error {
public:
    explicit WorkbookError(const QString& description, long number = xlsxerr::Malformed)
        : Error(description, number) {}
};

} // namespace kemnoa::xlsx
