#include "platform/db/command.h"

#include "platform/db/connection.h"
#include "platform/db/db_error.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kemnoa::db {

namespace {

const QString kReturnValue = QStringLiteral("RETURN_VALUE");
const QString kErrMsg = QStringLiteral("@errMsg");

// "@OrdNo", "OrdNo" and "ordno" name the same parameter.
QString bareName(const QString& name) {
    return name.startsWith(QLatin1Char('@')) ? name.mid(1) : name;
}

bool sameName(const QString& a, const QString& b) {
    return bareName(a).compare(bareName(b), Qt::CaseInsensitive) == 0;
}

bool isOutput(ParamDirection d) {
    return d == ParamDirection::Output || d == ParamDirection::InputOutput;
}

QString sqlServerType(const Parameter& p) {
    const QString size = p.size > 0 ? QString::number(p.size) : QStringLiteral("max");
    switch (p.type) {
    case ParamType::Integer:
        return QStringLiteral("int");
    case ParamType::VarChar:
        return QStringLiteral("varchar(%1)").arg(size);
    case ParamType::NVarChar:
        return QStringLiteral("nvarchar(%1)").arg(size);
    case ParamType::Double:
        return QStringLiteral("float");
    case ParamType::Numeric:
        return QStringLiteral("decimal(38,10)");
    case ParamType::DateTime:
        return QStringLiteral("datetime2");
    }
    return QStringLiteral("sql_variant");
}

QVariant fitToParameter(const Parameter& p, const QVariant& value) {
    if ((p.type == ParamType::VarChar || p.type == ParamType::NVarChar) && p.size > 0 && !value.isNull() &&
        value.isValid()) {
        const QString s = value.toString();
        if (s.size() > p.size)
            return s.left(p.size);
    }
    return value;
}

void requireIdentifier(const QString& text, const QRegularExpression& re) {
    if (!re.match(text).hasMatch())
        throwError(QStringLiteral("Invalid procedure or parameter name: %1").arg(text), errnum::General);
}

} // namespace

QVariant ProcedureCall::input(const QString& name) const {
    for (const Parameter& p : parameters_)
        if (sameName(p.name, name) && p.direction != ParamDirection::ReturnValue)
            return p.value;
    return QVariant();
}

void ProcedureCall::setOutput(const QString& name, const QVariant& value) {
    for (Parameter& p : parameters_) {
        if (sameName(p.name, name) && isOutput(p.direction)) {
            p.value = fitToParameter(p, value);
            return;
        }
    }
    // An output the caller did not ask for is dropped, as the server would.
}

ProcedureRegistry& ProcedureRegistry::global() {
    static ProcedureRegistry registry;
    return registry;
}

void ProcedureRegistry::add(const QString& name, Procedure procedure) {
    remove(name);
    procedures_.emplace_back(name, std::move(procedure));
}

void ProcedureRegistry::remove(const QString& name) {
    std::erase_if(procedures_,
                  [&](const auto& e) { return e.first.compare(name, Qt::CaseInsensitive) == 0; });
}

const Procedure* ProcedureRegistry::find(const QString& name) const {
    for (const auto& e : procedures_)
        if (e.first.compare(name, Qt::CaseInsensitive) == 0)
            return &e.second;
    return nullptr;
}

Command::Command(Connection& connection, QString procedureName, int timeoutSeconds,
                 ProcedureRegistry* registry)
    : connection_(connection), name_(std::move(procedureName)), timeout_(timeoutSeconds),
      registry_(registry ? registry : &ProcedureRegistry::global()) {
    parameters_.push_back({kReturnValue, ParamType::Integer, ParamDirection::ReturnValue, 4, QVariant()});
}

Parameter* Command::find(const QString& name) {
    for (Parameter& p : parameters_)
        if (sameName(p.name, name))
            return &p;
    return nullptr;
}

const Parameter* Command::find(const QString& name) const {
    for (const Parameter& p : parameters_)
        if (sameName(p.name, name))
            return &p;
    return nullptr;
}

void Command::addParameter(const QString& name, ParamType type, ParamDirection direction, int size,
                           const QVariant& value) {
    if (direction == ParamDirection::ReturnValue || sameName(name, kReturnValue)) {
        parameters_.front().type = type;
        return;
    }
    static const QRegularExpression re(QStringLiteral(R"(^@?\w+$)"),
                                       QRegularExpression::UseUnicodePropertiesOption);
    requireIdentifier(name, re);
    const QString full = name.startsWith(QLatin1Char('@')) ? name : QLatin1Char('@') + name;
    if (Parameter* p = find(name)) {
        *p = {full, type, direction, size, value};
        return;
    }
    parameters_.push_back({full, type, direction, size, value});
}

void Command::setValue(const QString& name, const QVariant& value) {
    Parameter* p = find(name);
    if (!p)
        throwError(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                  "name or ordinal. (%1)")
                       .arg(name),
                   dberr::ItemNotFound);
    p->value = value;
}

QVariant Command::value(const QString& name) const {
    const Parameter* p = find(name);
    if (!p)
        throwError(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                  "name or ordinal. (%1)")
                       .arg(name),
                   dberr::ItemNotFound);
    return p->value;
}

int Command::returnValue() const {
    return parameters_.front().value.toInt();
}

void Command::execute() {
    for (Parameter& p : parameters_)
        if (p.direction == ParamDirection::Output || p.direction == ParamDirection::ReturnValue)
            p.value = QVariant();
    if (connection_.dialect() == Dialect::SqlServer)
        executeSqlServer();
    else
        executeRegistered();
}

QString Command::sqlServerBatch() const {
    static const QRegularExpression procRe(QStringLiteral(R"(^[\w.\[\]]+$)"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    requireIdentifier(name_, procRe);
    QStringList parts;
    for (QString part : name_.split(QLatin1Char('.'))) {
        part.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        parts << QLatin1Char('[') + part + QLatin1Char(']');
    }
    QString batch = QStringLiteral("SET NOCOUNT ON;\nDECLARE @kemnoa_rv int;\n");
    QStringList args;
    QStringList selects = {QStringLiteral("@kemnoa_rv AS RETURN_VALUE")};
    int n = 0;
    for (const Parameter& p : parameters_) {
        if (p.direction == ParamDirection::ReturnValue)
            continue;
        if (isOutput(p.direction)) {
            const QString var = QStringLiteral("@kemnoa_p%1").arg(++n);
            batch += QStringLiteral("DECLARE %1 %2;\n").arg(var, sqlServerType(p));
            if (p.direction == ParamDirection::InputOutput)
                batch += QStringLiteral("SET %1 = ?;\n").arg(var);
            args << p.name + QStringLiteral(" = ") + var + QStringLiteral(" OUTPUT");
            selects << var + QStringLiteral(" AS [") + bareName(p.name) + QLatin1Char(']');
        } else {
            args << p.name + QStringLiteral(" = ?");
        }
    }
    batch += QStringLiteral("EXEC @kemnoa_rv = ") + parts.join(QLatin1Char('.'));
    if (!args.isEmpty())
        batch += QLatin1Char(' ') + args.join(QStringLiteral(", "));
    batch += QStringLiteral(";\nSELECT ") + selects.join(QStringLiteral(", ")) + QLatin1Char(';');
    return batch;
}

void Command::executeSqlServer() {
    const QString batch = sqlServerBatch();
    QSqlQuery q(connection_.database());
    if (!q.prepare(batch))
        throwSqlError(q.lastError());
    int index = 0;
    // Input/output values are set first, in declaration order, then the inputs of the call.
    for (const Parameter& p : parameters_)
        if (p.direction == ParamDirection::InputOutput)
            q.bindValue(index++, p.value);
    for (const Parameter& p : parameters_)
        if (p.direction == ParamDirection::Input)
            q.bindValue(index++, p.value);
    if (!q.exec())
        throwSqlError(q.lastError());
    // The procedure's own result sets come first; ours is the last one.
    do {
        if (q.isSelect() && q.record().indexOf(kReturnValue) >= 0 && q.next()) {
            for (Parameter& p : parameters_) {
                const QString column =
                    p.direction == ParamDirection::ReturnValue ? kReturnValue : bareName(p.name);
                if (p.direction == ParamDirection::ReturnValue || isOutput(p.direction))
                    p.value = q.value(column);
            }
            return;
        }
    } while (q.nextResult());
    if (q.lastError().isValid())
        throwSqlError(q.lastError());
    throwError(QStringLiteral("The procedure %1 returned no result.").arg(name_), errnum::Database);
}

void Command::executeRegistered() {
    Parameter& rv = parameters_.front();
    auto fail = [&](int number, const QString& message) {
        rv.value = number != 0 ? number : -1;
        if (!find(kErrMsg))
            parameters_.push_back({kErrMsg, ParamType::VarChar, ParamDirection::Output, 0, QVariant()});
        Parameter* err = find(kErrMsg);
        err->value = fitToParameter(*err, message);
    };
    const Procedure* procedure = registry_->find(name_);
    if (!procedure) {
        fail(2812, QStringLiteral("ストアド プロシージャ '%1' が見つかりませんでした。").arg(name_));
        return;
    }
    ProcedureCall call(connection_, parameters_, timeout_);
    connection_.setStatementTimeout(timeout_);
    try {
        rv.value = (*procedure)(call);
    } catch (const Error& e) {
        fail(static_cast<int>(e.number()), e.description());
    } catch (const std::exception& e) {
        fail(-1, QString::fromLocal8Bit(e.what()));
    }
    try {
        connection_.setStatementTimeout(0);
    } catch (const Error&) {
        // A connection left unusable by the procedure reports itself at its next statement.
    }
}

} // namespace kemnoa::db
