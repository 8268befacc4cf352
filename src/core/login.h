#pragma once
// The login window's logic: the option shown for a job type and what "ok" records.

#include "core/session.h"

namespace kemnoa::core {

// 0 "nagoya sales" for an empty or "0" job type, 1 "data center" for "1". Any other stored value
// also selects the first option, so "ok" never records a job type nobody chose.
int loginOptionFor(const QString& jobType);

// "ok": LoginUser and JobType from the window into the session and the per-user store.
void recordLogin(Session& session, const QString& user, bool firstOption);

} // namespace kemnoa::core
