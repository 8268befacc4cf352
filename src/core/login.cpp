#include "core/login.h"

#include "core/user_store.h"

namespace kemnoa::core {

int loginOptionFor(const QString& jobType) {
    return jobType == QLatin1String("1") ? 1 : 0;
}

void recordLogin(Session& session, const QString& user, bool firstOption) {
    session.LoginUser = user;
    session.JobType = firstOption ? QStringLiteral("0") : QStringLiteral("1");
    writeUserStore({session.LoginUser, session.JobType});
}

} // namespace kemnoa::core
