#include "maintenance/order_editor.h"

#include "core/error.h"
#include "platform/db/reader.h"
#include "platform/db/sql_text.h"
#include "receiving/order_tables.h"

#include <QRegularExpression>
#include <optional>

namespace kemnoa::maintenance {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The header's columns in the order the save writes them.
const QStringList& headerColumns() {
    static const QStringList c = {
        "ORD_NO",   "REC_TYPE",     "REC_KBN",      "IRAI_NO",      "ORD_DATE",    "KIBO_DATE", "SIR_CD",
        "SIR_NM",   "SIR_BUSHO_NM", "SIR_TANTO_NM", "SIR_POST_NO",  "SIR_ADR1",    "SIR_ADR2",  "SIR_TEL",
        "NOU_CD",   "NOU_NM",       "NOU_BUSHO_NM", "NOU_TANTO_NM", "NOU_POST_NO", "NOU_ADR1",  "NOU_ADR2",
        "NOU_TEL",  "KESSAI",       "SHKA_PLACE",   "ENTRY_DATE",   "UPDATE_DATE", "ERR_SU",    "PRN_SU",
        "SEND_FLG", "PO_NO",        "PO_KBN",       "ORD_SAKI_CD",  "ORD_SAKI_NM", "BIKO1",     "BIKO2",
        "BIKO3",    "BIKO4",        "BIKO5"};
    return c;
}

bool isNumberColumn(const receiving::TableDef& def, const QString& name) {
    for (const receiving::ColumnDef& c : def.columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return c.form == receiving::Form::Number;
    return false;
}

// Columns of a line table as the table has them now, typed by the table's definition.
std::vector<LineColumn> tableColumns(db::Connection& work, const receiving::TableDef& def) {
    std::vector<LineColumn> cols;
    db::Reader r =
        work.read(QStringLiteral("Select * From ") + def.workTable + QStringLiteral(" Where ORD_NO=0"));
    for (int i = 0; i < r.columnCount(); ++i) {
        const db::ColumnInfo& info = r.column(i);
        const QString name = info.name.toUpper();
        const bool number = isNumberColumn(def, name) || info.adoType == db::adotype::Integer ||
                            info.adoType == db::adotype::SmallInt || info.adoType == db::adotype::BigInt;
        cols.push_back({name, name, number});
    }
    return cols;
}

std::vector<LineColumn> addFukiColumns() {
    std::vector<LineColumn> c = {
        {"ORD_NO", "ORD_NO", true}, {"GYOU", "GYOU", true}, {"FUKI_SU", "数量", true}};
    for (int i = 1; i <= 8; ++i)
        c.push_back({QStringLiteral("FUKI%1").arg(i), QStringLiteral("付記%1").arg(i), false});
    return c;
}

std::vector<LineColumn> fuzokuColumns() {
    std::vector<LineColumn> c = {{"ORD_NO", "ORD_NO", true},     {"GYOU", "GYOU", true},
                                 {"NAME_NM", "ネーム種", false}, {"SIZAI_CD", "SIZAI_CD", false},
                                 {"SIZAI_NM", "資材名", false},  {"SURYOKEI", "計", true},
                                 {"SURYOMUJI", "無地", true}};
    for (int i = 1; i <= 10; ++i)
        c.push_back({QStringLiteral("SURYO%1").arg(i), QStringLiteral("SURYO%1").arg(i), true});
    return c;
}

void loadLines(db::Connection& work, qint32 ordNo, OrderLines& lines, QStringList* titles) {
    lines.rows.clear();
    db::Reader r = work.read(QStringLiteral("Select * From ") + lines.table +
                                 QStringLiteral(" Where ORD_NO = ? Order By GYOU "),
                             {ordNo});
    std::vector<int> at;
    for (const LineColumn& c : lines.columns)
        at.push_back(r.columnIndex(c.name));
    std::vector<int> titleAt;
    if (titles)
        for (int k = 1; k <= 10; ++k)
            titleAt.push_back(r.columnIndex(QStringLiteral("TITLE%1").arg(k)));
    for (; !r.atEnd(); r.moveNext()) {
        QStringList row;
        row.reserve(static_cast<qsizetype>(at.size()));
        for (int i : at)
            row << (i >= 0 ? r.text(i) : QString());
        lines.rows.push_back(std::move(row));
        if (titles) // every line in turn: the last line's titles remain
            for (int k = 0; k < 10; ++k)
                (*titles)[k] = titleAt[k] >= 0 ? r.text(titleAt[k]) : QString();
    }
}

QVariant numberOf(const QString& text) {
    return leadingNumber(text);
}

QString cell(const QStringList& row, int i) {
    return i >= 0 && i < row.size() ? row.at(i) : QString();
}

struct Status {
    bool found = false;
    QString sendFlg, poNo, poKbn;
};

Status readStatus(db::Connection& work, qint32 ordNo) {
    Status s;
    db::Reader r = work.read(
        QStringLiteral("Select SEND_FLG, PO_NO, PO_KBN From rcv_denheaddata Where ORD_NO = ?"), {ordNo});
    if (r.atEnd())
        return s;
    s.found = true;
    s.sendFlg = r.text(0);
    s.poNo = r.text(1);
    s.poKbn = r.text(2);
    return s;
}

// Why the order may not be written over as opened, or nothing when it may.
std::optional<std::pair<QString, QString>> staleRefusal(const EditedOrder& order, const Status& now) {
    if (!now.found)
        return std::make_pair(QStringLiteral("発注番号(%1）は見つかりません。").arg(order.ordNo),
                              QStringLiteral("エラー"));
    if (now.sendFlg == QStringLiteral("1"))
        return std::make_pair(QStringLiteral("送信済みは更新できません。"), QStringLiteral("禁止"));
    if (now.poNo != order.loadedPoNo || now.poKbn != order.loadedPoKbn)
        return std::make_pair(QStringLiteral("このデータは開いた後でPO番号が変わりました。") + kCrLf +
                                  QStringLiteral("データを開き直してから更新してください。"),
                              QStringLiteral("禁止"));
    return std::nullopt;
}

QString marks(int n) {
    QStringList m;
    for (int i = 0; i < n; ++i)
        m << QStringLiteral("?");
    return m.join(QLatin1Char(','));
}

void writeHeader(db::Connection& work, const EditedOrder& order, const Status& now) {
    work.execute(QStringLiteral("Delete From rcv_denheaddata Where ORD_NO = ?"), {order.ordNo});
    QVariantList values;
    for (const QString& c : headerColumns()) {
        const QString text = order.header.value(c);
        if (c == QStringLiteral("ORD_NO"))
            values << order.ordNo;
        else if (c == QStringLiteral("IRAI_NO"))
            values << db::valueText(leadingNumber(text));
        else if (c == QStringLiteral("ORD_DATE") || c == QStringLiteral("ERR_SU") ||
                 c == QStringLiteral("PRN_SU"))
            values << numberOf(text);
        else if (c == QStringLiteral("SEND_FLG"))
            values << now.sendFlg; // the state as stored: a save never changes it
        else if (c == QStringLiteral("PO_NO"))
            values << now.poNo;
        else if (c == QStringLiteral("PO_KBN"))
            values << now.poKbn;
        else if (c == QStringLiteral("BIKO2"))
            values << (text == QStringLiteral("1") ? QStringLiteral("1") : QStringLiteral("0"));
        else if (c == QStringLiteral("BIKO3") || c == QStringLiteral("BIKO4") || c == QStringLiteral("BIKO5"))
            values << QStringLiteral("");
        else
            values << text;
    }
    work.execute(QStringLiteral("Insert Into rcv_denheaddata (") + headerColumns().join(QLatin1Char(',')) +
                     QStringLiteral(") Values (") + marks(static_cast<int>(headerColumns().size())) +
                     QLatin1Char(')'),
                 values);
}

// Deletes the order's lines of the table and inserts the lines in screen order, GYOU renumbered.
void writeLines(db::Connection& work, qint32 ordNo, const OrderLines& lines) {
    work.execute(QStringLiteral("Delete From ") + lines.table + QStringLiteral(" Where ORD_NO = ?"), {ordNo});
    QStringList names;
    for (const LineColumn& c : lines.columns)
        names << c.name;
    const QString sql = QStringLiteral("Insert Into ") + lines.table + QStringLiteral(" (") +
                        names.join(QLatin1Char(',')) + QStringLiteral(") Values (") +
                        marks(static_cast<int>(names.size())) + QLatin1Char(')');
    int position = 0;
    for (const QStringList& row : lines.rows) {
        ++position;
        QVariantList values;
        for (std::size_t i = 0; i < lines.columns.size(); ++i) {
            const LineColumn& c = lines.columns[i];
            if (c.name == QStringLiteral("ORD_NO"))
                values << ordNo;
            else if (c.name == QStringLiteral("GYOU"))
                values << position;
            else if (c.number)
                values << numberOf(cell(row, static_cast<int>(i)));
            else
                values << cell(row, static_cast<int>(i));
        }
        work.execute(sql, values);
    }
}

// The item totals: their 17 columns plus the fixed titles and the order's ten size titles.
void writeFuzoku(db::Connection& work, qint32 ordNo, const OrderLines& lines, const QStringList& titles) {
    work.execute(QStringLiteral("Delete From rcv_fuzokudata Where ORD_NO = ?"), {ordNo});
    QStringList names = {"ORD_NO",   "GYOU",     "NAME_NM",   "SIZAI_CD", "SIZAI_NM",
                         "TITLEKEI", "SURYOKEI", "TITLEMUJI", "SURYOMUJI"};
    for (int k = 1; k <= 10; ++k)
        names << QStringLiteral("TITLE%1").arg(k) << QStringLiteral("SURYO%1").arg(k);
    const QString sql = QStringLiteral("Insert Into rcv_fuzokudata (") + names.join(QLatin1Char(',')) +
                        QStringLiteral(") Values (") + marks(static_cast<int>(names.size())) +
                        QLatin1Char(')');
    auto at = [&](const char* name) { return lines.columnOf(QString::fromLatin1(name)); };
    int position = 0;
    for (const QStringList& row : lines.rows) {
        QVariantList v{ordNo,
                       ++position,
                       cell(row, at("NAME_NM")),
                       cell(row, at("SIZAI_CD")),
                       cell(row, at("SIZAI_NM")),
                       QStringLiteral("合計"),
                       numberOf(cell(row, at("SURYOKEI"))),
                       QStringLiteral("ムジ"),
                       numberOf(cell(row, at("SURYOMUJI")))};
        for (int k = 1; k <= 10; ++k)
            v << titles.value(k - 1) << numberOf(cell(row, lines.columnOf(QStringLiteral("SURYO%1").arg(k))));
        work.execute(sql, v);
    }
}

} // namespace

int OrderLines::columnOf(const QString& name) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

EditedOrder orderLayout(db::Connection& work) {
    EditedOrder o;
    o.pos = {QStringLiteral("rcv_posdata"), tableColumns(work, receiving::posTable()), {}};
    o.car = {QStringLiteral("rcv_cardata"), tableColumns(work, receiving::carTable()), {}};
    o.addFuki = {QStringLiteral("rcv_addfukidata"), addFukiColumns(), {}};
    o.fuzoku = {QStringLiteral("rcv_fuzokudata"), fuzokuColumns(), {}};
    for (int k = 0; k < 10; ++k)
        o.titles << QString();
    return o;
}

bool loadOrder(db::Connection& work, qint32 ordNo, EditedOrder& order, QString* failure) {
    {
        db::Reader r = work.read(QStringLiteral("Select * From rcv_denheaddata Where ORD_NO = ? "), {ordNo});
        if (r.atEnd()) {
            if (failure)
                *failure = QStringLiteral("発注番号(%1）は見つかりません。").arg(ordNo);
            return false;
        }
        order.header.clear();
        for (int i = 0; i < r.columnCount(); ++i)
            order.header.insert(r.column(i).name.toUpper(), r.text(i));
    }
    order.ordNo = ordNo;
    order.loadedSendFlg = order.header.value(QStringLiteral("SEND_FLG"));
    order.loadedPoNo = order.header.value(QStringLiteral("PO_NO"));
    order.loadedPoKbn = order.header.value(QStringLiteral("PO_KBN"));
    loadLines(work, ordNo, order.pos, nullptr);
    loadLines(work, ordNo, order.car, nullptr);
    loadLines(work, ordNo, order.addFuki, nullptr);
    for (QString& t : order.titles)
        t.clear();
    loadLines(work, ordNo, order.fuzoku, &order.titles);
    return true;
}

QStringList nameTypeChoices(db::Connection& work) {
    QStringList out;
    for (db::Reader r = work.read(QStringLiteral("SELECT NAME_NM FROM kemmst_namecode ORDER BY NAME_NM"));
         !r.atEnd(); r.moveNext())
        out << r.text(0);
    return out;
}

std::optional<QStringList> materialChoices(db::Connection& work, const QString& nameType) {
    {
        db::Reader r =
            work.read(QStringLiteral("SELECT NAME_NM FROM kemmst_namecode WHERE NAME_NM = ?"), {nameType});
        if (r.atEnd())
            return std::nullopt;
    }
    QStringList out;
    for (db::Reader r = work.read(QStringLiteral("SELECT SIZAI_NM FROM kemmst_sizaicode WHERE NAME_NM = ? "
                                                 "ORDER BY NAME_NM,SIZAI_NM"),
                                  {nameType});
         !r.atEnd(); r.moveNext())
        out << r.text(0);
    return out;
}

QVariant leadingNumber(const QString& text) {
    static const QRegularExpression lead(QStringLiteral("^\\s*([+-]?)([0-9]*)(?:\\.([0-9]*))?"));
    const QRegularExpressionMatch m = lead.match(text);
    const QString sign = m.captured(1);
    const QString whole = m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2);
    const QString fraction = m.captured(3);
    if (m.captured(2).isEmpty() && fraction.isEmpty())
        return qint64(0);
    bool zeroFraction = true;
    for (const QChar c : fraction)
        zeroFraction = zeroFraction && c == QLatin1Char('0');
    if (zeroFraction) {
        bool ok = false;
        const qint64 n = (sign + whole).toLongLong(&ok);
        if (ok)
            return n;
    }
    return (sign + whole + QLatin1Char('.') + (fraction.isEmpty() ? QStringLiteral("0") : fraction))
        .toDouble();
}

bool isPlainNumber(const QString& text) {
    static const QRegularExpression plain(QStringLiteral("^\\s*[+-]?[0-9]+(\\.[0-9]+)?\\s*$"));
    return plain.match(text).hasMatch();
}

SaveEnd saveOrder(core::Prompter& prompter, db::Connection& work, EditedOrder& order,
                  const std::function<void(qint32)>& errDataMake) {
    if (!prompter.question(QStringLiteral("更新しますか？"), QStringLiteral("確認")))
        return SaveEnd::NotSaved;
    if (order.header.value(QStringLiteral("SEND_FLG")) == QStringLiteral("1")) {
        prompter.message(QStringLiteral("送信済みは更新できません。"), QStringLiteral("禁止"),
                         core::MsgIcon::Exclamation);
        return SaveEnd::NotSaved;
    }
    if (!isPlainNumber(order.header.value(QStringLiteral("IRAI_NO")))) {
        prompter.message(QStringLiteral("依頼番号は数値で入力してください。"), QStringLiteral("エラー"),
                         core::MsgIcon::Critical);
        return SaveEnd::NotSaved;
    }
    auto refuse = [&](const std::pair<QString, QString>& why) {
        prompter.message(why.first, why.second,
                         why.second == QStringLiteral("禁止") ? core::MsgIcon::Exclamation
                                                              : core::MsgIcon::Critical);
        return SaveEnd::NotSaved;
    };
    auto failedWith = [&](const core::Error& e) {
        prompter.splashEnd();
        prompter.message(QStringLiteral("データの更新中にエラーが発生しました。") + kCrLf +
                             QStringLiteral("データは更新されていません。") + kCrLf + kCrLf + e.text(),
                         QStringLiteral("エラー"), core::MsgIcon::Critical);
        return SaveEnd::NotSaved;
    };

    const QString p = order.header.value(QStringLiteral("PO_NO"));
    const QString k = order.header.value(QStringLiteral("PO_KBN"));
    if (!p.isEmpty()) {
        if (!prompter.question(QStringLiteral("PO番号採番済みのデータを更新しようとしています。") + kCrLf +
                                   QStringLiteral("更新後、必ずPDF作成処理を行ってください。") + kCrLf +
                                   kCrLf + QStringLiteral("更新しますか？"),
                               QStringLiteral("確認")))
            return SaveEnd::NotSaved;
        try {
            // Only the PO this order still belongs to, and never a sent one, loses its rows.
            if (const auto why = staleRefusal(order, readStatus(work, order.ordNo)))
                return refuse(*why);
            work.execute(QStringLiteral("Delete From rcv_csvdata Where PO_NO = ? And PO_KBN = ? "), {p, k});
            work.execute(QStringLiteral("Delete From rcv_skdata Where PO_NO = ? And PO_KBN = ? "), {p, k});
            work.execute(
                QStringLiteral("Update rcv_denheaddata Set PRN_SU = 0 Where PO_NO = ? And PO_KBN = ? "),
                {p, k});
        } catch (const core::Error& e) {
            return failedWith(e);
        }
        order.header.insert(QStringLiteral("PRN_SU"), QStringLiteral("0"));
    }

    std::optional<std::pair<QString, QString>> refusal;
    {
        core::BusyPointer busy(prompter);
        prompter.splashStatus(QStringLiteral("画面上のデータをサーバーにUpdateしています"));
        try {
            // One transaction, and no dialog or user input while it is open: refusals and failures are
            // told after it has ended.
            db::Transaction tx(work);
            const Status now = readStatus(work, order.ordNo);
            refusal = staleRefusal(order, now);
            if (!refusal) {
                writeHeader(work, order, now);
                writeLines(work, order.ordNo, order.pos);
                writeLines(work, order.ordNo, order.car);
                writeLines(work, order.ordNo, order.addFuki);
                writeFuzoku(work, order.ordNo, order.fuzoku, order.titles);
                tx.commit();
            }
        } catch (const core::Error& e) {
            return failedWith(e);
        }
        prompter.splashEnd();
    }
    if (refusal)
        return refuse(*refusal);

    // The lines now carry their new numbers.
    for (OrderLines* lines : {&order.pos, &order.car, &order.addFuki, &order.fuzoku}) {
        const int g = lines->columnOf(QStringLiteral("GYOU"));
        const int o = lines->columnOf(QStringLiteral("ORD_NO"));
        for (std::size_t i = 0; i < lines->rows.size(); ++i) {
            if (g >= 0)
                lines->rows[i][g] = QString::number(i + 1);
            if (o >= 0)
                lines->rows[i][o] = QString::number(order.ordNo);
        }
    }
    order.header.insert(QStringLiteral("IRAI_NO"),
                        db::valueText(leadingNumber(order.header.value(QStringLiteral("IRAI_NO")))));

    if (errDataMake)
        errDataMake(order.ordNo);
    struct Finding {
        QString title, value, message;
    };
    std::vector<Finding> findings;
    try {
        for (db::Reader r = work.read(
                 QStringLiteral("Select * From rcv_errdata Where ORD_NO = ? Order By GYOU "), {order.ordNo});
             !r.atEnd(); r.moveNext())
            findings.push_back({r.text(QStringLiteral("ERR_TITLE")), r.text(QStringLiteral("ERR_VALUE")),
                                r.text(QStringLiteral("ERR_MESSAGE"))});
    } catch (const core::Error& e) {
        prompter.message(e.text(), QStringLiteral("cmdUpdate_Click"), core::MsgIcon::Critical);
        return SaveEnd::SavedStay;
    }
    if (findings.empty()) {
        prompter.message(QStringLiteral("保存処理は完了しました。"), QStringLiteral("保存完了"),
                         core::MsgIcon::Information);
        return SaveEnd::SavedClose;
    }
    for (const Finding& f : findings)
        prompter.message(QStringLiteral("マスタチェック結果") + kCrLf + kCrLf + f.value + kCrLf + f.message,
                         f.title, core::MsgIcon::Exclamation);
    const bool close =
        prompter.question(QStringLiteral("マスタチェックの結果、エラーがありました。") + kCrLf + kCrLf +
                              QStringLiteral("保存処理は完了しましたが、画面を閉じますか？"),
                          QStringLiteral("保存完了"));
    return close ? SaveEnd::SavedClose : SaveEnd::SavedStay;
}

} // namespace kemnoa::maintenance
