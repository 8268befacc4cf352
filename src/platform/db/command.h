#pragma once
// A stored-procedure call: the procedure's name, a time-out, parameters by name, type, direction
// and size; after execute() the return value ("RETURN_VALUE") and the output parameters are read
// back by name. On SQL Server the server's procedure runs; on SQLite and PostgreSQL the C++
// procedure registered under the same name runs on the same connection.

#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

namespace kemnoa::db {

class Connection;

enum class ParamType { Integer, VarChar, NVarChar, Double, Numeric, DateTime };
enum class ParamDirection { Input, Output, InputOutput, ReturnValue };

struct Parameter {
    QString name; // as the procedure declares it, "@OrdNo"
    ParamType type = ParamType::VarChar;
    ParamDirection direction = ParamDirection::Input;
    int size = 0;
    QVariant value;
};

// What a C++ procedure sees of its call.
class ProcedureCall {
public:
    ProcedureCall(Connection& connection, std::vector<Parameter>& parameters, int timeoutSeconds)
        : connection_(connection), parameters_(parameters), timeout_(timeoutSeconds) {}
    Connection& connection() { return connection_; }
    int timeoutSeconds() const { return timeout_; }
    // An input parameter by name ("@OrdNo" or "OrdNo", without regard to case); Null when not passed.
    QVariant input(const QString& name) const;
    // Sets an output parameter; text is cut to the parameter's size as the server would.
    void setOutput(const QString& name, const QVariant& value);

private:
    Connection& connection_;
    std::vector<Parameter>& parameters_;
    int timeout_;
};

// A C++ procedure: returns the procedure's return value (0 for success).
using Procedure = std::function<int(ProcedureCall&)>;

// The C++ procedures by name; the process has one table, filled by the subsystems that own them.
class ProcedureRegistry {
public:
    static ProcedureRegistry& global();
    void add(const QString& name, Procedure procedure);
    void remove(const QString& name);
    const Procedure* find(const QString& name) const;

private:
    std::vector<std::pair<QString, Procedure>> procedures_;
};

class Command {
public:
    // The registry defaults to the process table.
    Command(Connection& connection, QString procedureName, int timeoutSeconds = 30,
            ProcedureRegistry* registry = nullptr);

    void setTimeout(int seconds) { timeout_ = seconds; }
    int timeout() const { return timeout_; }
    const QString& procedureName() const { return name_; }

    // Adds a parameter; a parameter of the same name is replaced.
    void addParameter(const QString& name, ParamType type, ParamDirection direction, int size = 0,
                      const QVariant& value = QVariant());
    void setValue(const QString& name, const QVariant& value);
    // A parameter's value by name; "RETURN_VALUE" is the return value. Throws kemnoa::Error (3265)
    // for an unknown name.
    QVariant value(const QString& name) const;
    int returnValue() const;

    // Runs the procedure. A database failure throws kemnoa::Error; a C++ procedure that throws, or
    // a name that is not registered, gives a non-zero return value and "@errMsg" (added as an
    // output parameter when missing) saying why.
    void execute();

    // The T-SQL batch that calls the procedure on SQL Server (parameters bound in order).
    QString sqlServerBatch() const;

private:
    Parameter* find(const QString& name);
    const Parameter* find(const QString& name) const;
    void executeSqlServer();
    void executeRegistered();

    Connection& connection_;
    QString name_;
    int timeout_;
    ProcedureRegistry* registry_;
    std::vector<Parameter> parameters_;
};

} // namespace kemnoa::db
