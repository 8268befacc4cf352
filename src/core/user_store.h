#pragma once
// The per-user store: the login's user name and job type remembered between runs
// (organisation and application "kemnoa", section "SYSTEM", keys "LOG_USER" and "JOB_TYPE").

#include "core/session.h"

namespace kemnoa::core {

struct LoginMemory {
    QString user;
    QString jobType;
};

// A missing entry reads as empty text.
LoginMemory readUserStore();
void writeUserStore(const LoginMemory& memory);

// Start-up: LoginUser and JobType from the store.
void loadLoginFromUserStore(Session& session);

} // namespace kemnoa::core
