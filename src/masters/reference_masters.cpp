#include "masters/reference_masters.h"

#include "core/error.h"
#include "platform/db/reader.h"

#include <QRegularExpression>

namespace kemnoa::masters {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

std::vector<MasterDef> makeDefs() {
    return {
        {RefMaster::NameCode,
         QStringLiteral("namecode"),
         QStringLiteral("kemmst_namecode"),
         QStringLiteral("ネーム種マスタ"),
         QStringLiteral("frmMst_Name"),
         QStringLiteral("namecode-master"),
         301,
         {{QStringLiteral("ネーム種"), QStringLiteral("name_nm")}},
         QStringLiteral("name_nm")},
        {RefMaster::Sizai,
         QStringLiteral("sizaicode"),
         QStringLiteral("kemmst_sizaicode"),
         QStringLiteral("資材マスタ"),
         QStringLiteral("frmMst_Sizai"),
         QStringLiteral("sizaicode-master"),
         302,
         {{QStringLiteral("ネーム種"), QStringLiteral("name_nm")},
          {QStringLiteral("資材コード"), QStringLiteral("sizai_cd")},
          {QStringLiteral("資材名"), QStringLiteral("sizai_nm")}},
         QStringLiteral("name_nm, sizai_nm")},
        {RefMaster::Size,
         QStringLiteral("size"),
         QStringLiteral("kemmst_size"),
         QStringLiteral("サイズマスタ"),
         QStringLiteral("frmMst_Size"),
         QStringLiteral("size-master"),
         303,
         {{QStringLiteral("サイズ記号"), QStringLiteral("size_value")},
          {QStringLiteral("整列順"), QStringLiteral("sort_lv")}},
         QStringLiteral("size_value")},
    };
}

const std::vector<MasterDef>& defs() {
    static const std::vector<MasterDef> d = makeDefs();
    return d;
}

QStringList columnNames(const MasterDef& def) {
    QStringList names;
    for (const MasterColumn& c : def.columns)
        names << c.column;
    return names;
}

QString cell(const QStringList& row, int column) {
    return column < row.size() ? row.at(column) : QString();
}

// The refusal of one row, checked in the order the window reports them.
QString checkRow(RefMaster kind, const QStringList& row) {
    switch (kind) {
    case RefMaster::NameCode:
        if (cell(row, 0).isEmpty())
            return QStringLiteral("ネーム種が入力されていないレコードがあります。");
        break;
    case RefMaster::Sizai:
        if (cell(row, 0).isEmpty())
            return QStringLiteral("ネーム種が入力されていないレコードがあります。");
        if (cell(row, 2).isEmpty())
            return QStringLiteral("資材名が入力されていないレコードがあります。");
        if (cell(row, 1).isEmpty())
            return QStringLiteral("資材コードが入力されていないレコードがあります。");
        break;
    case RefMaster::Size:
        if (cell(row, 0).isEmpty())
            return QStringLiteral("サイズ記号が入力されていないレコードがあります。");
        if (!parseSortValue(cell(row, 1)))
            return QStringLiteral("整列順に入力された値が数値じゃないレコードがあります。");
        break;
    }
    return {};
}

QVariantList insertValues(RefMaster kind, const QStringList& row) {
    QVariantList values;
    for (int i = 0; i < static_cast<int>(masterDef(kind).columns.size()); ++i)
        values << cell(row, i);
    if (kind == RefMaster::Size)
        values[1] = *parseSortValue(cell(row, 1));
    return values;
}

QString insertStatement(const MasterDef& def) {
    QStringList marks;
    for (std::size_t i = 0; i < def.columns.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("Insert Into ") + def.table + QLatin1Char('(') +
           columnNames(def).join(QLatin1Char(',')) + QStringLiteral(")Values(") +
           marks.join(QLatin1Char(',')) + QLatin1Char(')');
}

} // namespace

const MasterDef& masterDef(RefMaster kind) {
    for (const MasterDef& d : defs())
        if (d.kind == kind)
            return d;
    return defs().front();
}

const MasterDef* masterDefByCommand(const QString& command) {
    for (const MasterDef& d : defs())
        if (d.command == command)
            return &d;
    return nullptr;
}

const std::vector<RefMaster>& allMasters() {
    static const std::vector<RefMaster> all = {RefMaster::NameCode, RefMaster::Sizai, RefMaster::Size};
    return all;
}

MasterRows loadMaster(db::Connection& work, RefMaster kind) {
    const MasterDef& def = masterDef(kind);
    MasterRows rows;
    db::Reader r =
        work.read(QStringLiteral("Select ") + columnNames(def).join(QStringLiteral(", ")) +
                  QStringLiteral(" From ") + def.table + QStringLiteral(" Order By ") + def.orderBy);
    for (; !r.atEnd(); r.moveNext()) {
        QStringList row;
        for (int i = 0; i < r.columnCount(); ++i)
            row << r.text(i);
        rows.push_back(row);
    }
    return rows;
}

QStringList loadNameTypes(db::Connection& work) {
    QStringList names;
    for (const QStringList& row : loadMaster(work, RefMaster::NameCode))
        names << row.value(0);
    return names;
}

std::optional<QVariant> parseSortValue(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QVariant(qint64(0));
    static const QRegularExpression plain(QStringLiteral("^[+-]?[0-9]+(\\.[0-9]+)?$"));
    if (!plain.match(t).hasMatch())
        return std::nullopt;
    if (!t.contains(QLatin1Char('.'))) {
        bool ok = false;
        const qint64 n = t.toLongLong(&ok);
        if (ok)
            return QVariant(n);
    }
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return QVariant(d);
}

QString checkMasterRows(RefMaster kind, const MasterRows& rows) {
    for (const QStringList& row : rows) {
        const QString refusal = checkRow(kind, row);
        if (!refusal.isEmpty())
            return refusal;
    }
    return {};
}

core::Outcome saveMaster(core::Prompter& prompter, db::Connection& work, RefMaster kind,
                         const MasterRows& rows, bool ask) {
    if (ask && !prompter.question(QStringLiteral("保存しますか？"), QStringLiteral("保存の確認")))
        return core::Outcome::Failed;
    const QString refusal = checkMasterRows(kind, rows);
    if (!refusal.isEmpty()) {
        prompter.message(refusal, QStringLiteral("エラーチェック"), core::MsgIcon::Critical);
        prompter.message(QStringLiteral("保存処理をキャンセルします。"), QStringLiteral("エラー"),
                         core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    const MasterDef& def = masterDef(kind);
    std::optional<QString> failure;
    try {
        db::Transaction tx(work); // rolls back on every way out before the commit
        work.execute(QStringLiteral("Delete From ") + def.table);
        const QString insert = insertStatement(def);
        for (const QStringList& row : rows)
            work.execute(insert, insertValues(kind, row));
        tx.commit();
    } catch (const core::Error& e) {
        failure = e.description();
    }
    if (failure) {
        // Told once the transaction has ended, so no dialog waits while it is open.
        prompter.message(QStringLiteral("保存処理中にエラーが立ちました。") + kCrLf +
                             QStringLiteral("エラー内容は以下の通りです。") + kCrLf + kCrLf + *failure,
                         QStringLiteral("エラー"), core::MsgIcon::Critical);
        prompter.message(QStringLiteral("保存処理中にエラーが発生しました。") + kCrLf +
                             QStringLiteral("原因を解消し、もう一度保存処理を行ってください。"),
                         QStringLiteral("エラー"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    prompter.message(QStringLiteral("保存処理は完了しました。"), QStringLiteral("完了"),
                     core::MsgIcon::Information);
    return core::Outcome::Done;
}

} // namespace kemnoa::masters
