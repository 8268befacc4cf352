#include "core/user_store.h"

#include <QSettings>

namespace kemnoa::core {

namespace {
const QString Organisation = QStringLiteral("kemnoa");
const QString Application = QStringLiteral("kemnoa");
const QString UserKey = QStringLiteral("SYSTEM/LOG_USER");
const QString JobTypeKey = QStringLiteral("SYSTEM/JOB_TYPE");
} // namespace

LoginMemory readUserStore() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, Organisation, Application);
    return {store.value(UserKey).toString(), store.value(JobTypeKey).toString()};
}

void writeUserStore(const LoginMemory& memory) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, Organisation, Application);
    store.setValue(UserKey, memory.user);
    store.setValue(JobTypeKey, memory.jobType);
    store.sync();
}

void loadLoginFromUserStore(Session& session) {
    const LoginMemory memory = readUserStore();
    session.LoginUser = memory.user;
    session.JobType = memory.jobType;
}

} // namespace kemnoa::core
