#include "receiving/jet_order_file.h"

#include "platform/jet/jet_reader.h"

namespace kemnoa::receiving {
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

class JetOrderFile : public OrderFile {
public:
    explicit JetOrderFile(const QString& path) : reader_(path) {}

    bool hasTable(const QString& name) const override { return reader_.hasTable(name); }

    FileTable readTable(const QString& name) const override {
        FileTable t;
        const jet::RowSet rows = reader_.readTable(name);
        for (const jet::Column& c : rows.columns())
            t.columns << c.name;
        t.rows.reserve(rows.size());
        for (const jet::Row& row : rows.rows()) {
            std::vector<QVariant> out;
            out.reserve(row.size());
            for (const jet::Value& v : row)
                out.push_back(toVariant(v));
            t.rows.push_back(std::move(out));
        }
        return t;
    }

private:
    jet::JetReader reader_;
};

} // namespace

std::unique_ptr<OrderFile> openJetOrderFile(const QString& path) {
    return std::make_unique<JetOrderFile>(path);
}

} // namespace kemnoa::receiving
