#include "receiving/jet_order_file.h"

#include "core/error.h"
#include "core/file_helpers.h"
#include "platform/jet/jet_reader.h"
#include "receiving/ftp_receive.h"

namespace kemnoa::receiving {

// The receive refuses what the import would refuse.
static_assert(kMaxOrderFileBytes == jet::ReadLimits().fileBytes);

namespace {

QVariant toVariant(const jet::Value& v) {
    switch (v.kind()) {
    case jet::Value::Kind::Null:
        return QVariant();
    case jet::Value::Kind::Integer:
        return QVariant(v.asInt64());
    case jet::Value::Kind::Double:
    case jet::Value::Kind::Currency:
        return QVariant(v.asDouble());
    case jet::Value::Kind::Text:
        return QVariant(v.asText());
    default: // booleans, dates and binary data go into statements as the text Jet gives them
        return QVariant(v.toText());
    }
}

FileValues toFileRow(const jet::Row& row) {
    FileValues out;
    out.reserve(row.size());
    for (const jet::Value& v : row)
        out.push_back(toVariant(v));
    return out;
}

jet::JetReader::Options isolated(const jet::ReadLimits& limits) {
    return jet::JetReader::Options{true, 60000, qint64(2) << 30, limits};
}

class JetOrderFile : public OrderFile {
public:
    explicit JetOrderFile(jet::JetReader reader) : reader_(std::move(reader)) {}

    bool hasTable(const QString& name) const override { return reader_.hasTable(name); }

    QStringList columns(const QString& table) const override {
        QStringList names;
        for (const jet::Column& c : reader_.columns(table))
            names << c.name;
        return names;
    }

    void forEachRow(const QString& table,
                    const std::function<void(qint64, const FileValues&)>& visit) const override {
        qint64 place = 0;
        reader_.forEachRow(table, [&](const jet::Row& row) { visit(place++, toFileRow(row)); });
    }

    std::vector<FileValues> readRows(const QString& table, const std::vector<qint64>& places) const override {
        std::vector<FileValues> rows;
        rows.reserve(places.size());
        for (const jet::Row& row : reader_.readRows(table, places))
            rows.push_back(toFileRow(row));
        return rows;
    }

private:
    jet::JetReader reader_;
};

} // namespace

std::unique_ptr<OrderFile> openJetOrderFile(const QString& path, const jet::ReadLimits& limits) {
    return std::make_unique<JetOrderFile>(jet::JetReader(path, isolated(limits)));
}

JetOrderFiles::JetOrderFiles(const jet::ReadLimits& limits) : parser_(isolated(limits)) {}

std::unique_ptr<OrderFile> JetOrderFiles::open(const QString& path) {
    auto file = std::make_unique<JetOrderFile>(parser_.read(path));
    QString next;
    try {
        const auto [folder, name] = core::splitPath(path);
        next = core::firstFileByExtExcept(folder, QStringLiteral("mdb"), path);
    } catch (const core::Error&) {
        // Only a head start: the import reports a folder that went away.
    }
    if (!next.isEmpty())
        parser_.prefetch(next);
    return file;
}

} // namespace kemnoa::receiving
