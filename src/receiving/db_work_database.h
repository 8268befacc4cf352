#pragma once
// The import's work-database access over a connection of the database layer (cnWork).

#include "platform/db/connection.h"
#include "receiving/work_database.h"

namespace kemnoa::receiving {

class DbWorkDatabase : public WorkDatabase {
public:
    explicit DbWorkDatabase(db::Connection& connection) : connection_(connection) {}

    int execute(const QString& sql, const QVariantList& params = {}) override;
    void queue(const QString& sql, const QVariantList& params = {}) override {
        connection_.queue(sql, params);
    }
    void executeEach(const QString& sql, const std::vector<QVariantList>& rows) override;
    bool hasRow(const QString& sql, const QVariantList& params = {}) override;
    void hasRowAhead(const QString& sql, const QVariantList& params = {}) override {
        connection_.existsAhead(sql, params);
    }
    bool isAlive() noexcept override;
    QString text(const QString& standard, const QString& postgresql) const override {
        return connection_.sql({standard, {}, {}, postgresql});
    }
    void syncToDisk() override { connection_.syncToDisk(); }
    void beginTransaction() override { connection_.beginTransaction(); }
    void commit() override { connection_.commit(); }
    void rollback() noexcept override;

private:
    db::Connection& connection_;
};

} // namespace kemnoa::receiving
