#pragma once
// How a procedure or a job ended. One type for every result that used to be a bool meaning failure in
// some places and success in others; the compiler refuses to let a caller drop it.

namespace kemnoa::core {

enum class [[nodiscard]] Outcome{
    Done,             // ran to its end
    Failed,           // stopped on a failure or a refusal
    DoneWithFailures, // ran to its end, but some items failed (a file set aside, a PO left unsent)
};

constexpr bool failed(Outcome outcome) {
    return outcome == Outcome::Failed;
}
constexpr bool succeeded(Outcome outcome) {
    return outcome != Outcome::Failed;
}
constexpr Outcome failedIf(bool failure) {
    return failure ? Outcome::Failed : Outcome::Done;
}

} // namespace kemnoa::core
