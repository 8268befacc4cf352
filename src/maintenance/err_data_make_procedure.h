#pragma once
// The master check as the program runs it on SQLite and PostgreSQL: the procedure
// kem_errdatamake_main, registered in the database layer's procedure table under its server name.
// Parameters @OrdNo, @PoSv, @PoDb; output @errMsg; return value 0 when the check ran.

#include "platform/db/command.h"
#include "platform/db/connection.h"

#include <functional>

namespace kemnoa::maintenance {

int kem_errdatamake_main(db::ProcedureCall& call);

// Adds kem_errdatamake_main to the registry when it is not there yet.
void registerMasterCheckProcedures(db::ProcedureRegistry& registry = db::ProcedureRegistry::global());

// While an object of this class lives, the check keeps what the masters (and the PO database's
// destinations) answered from one order to the next on that work connection, instead of asking
// again for every order: an import checks thousands of orders against masters that do not change
// meanwhile. Without one, each check asks afresh.
class MasterCheckRun {
public:
    explicit MasterCheckRun(db::Connection& work);
    ~MasterCheckRun();
    MasterCheckRun(const MasterCheckRun&) = delete;
    MasterCheckRun& operator=(const MasterCheckRun&) = delete;

private:
    db::Connection& work_;
};

// How the check reaches the PO database named by @PoSv and @PoDb. By default a connection is opened
// with the provider, user and password of the session's PO database settings and kept for later
// checks. Tests and callers with a connection of their own may set another.
using PoConnectionResolver = std::function<db::Connection&(const QString& server, const QString& database)>;
void setPoConnectionResolver(PoConnectionResolver resolver);

} // namespace kemnoa::maintenance
