#include "receiving/order_import.h"

#include "core/error.h"
#include "core/file_helpers.h"
#include "receiving/order_mapping.h"
#include "receiving/order_tables.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <optional>

namespace kemnoa::receiving {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isNull(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

// A file value read as a number for matching and ordering; nothing for Null or text that is no number.
std::optional<double> numeric(const QVariant& v) {
    if (isNull(v))
        return std::nullopt;
    bool ok = false;
    const double d =
        v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

// Order By on one column as Jet sorts: Null first, then numbers by value, then text.
bool sortsBefore(const QVariant& a, const QVariant& b) {
    if (isNull(a) || isNull(b))
        return isNull(a) && !isNull(b);
    const auto na = numeric(a), nb = numeric(b);
    if (na && nb)
        return *na < *nb;
    if (na || nb)
        return bool(na);
    return a.toString() < b.toString();
}

// The order number of a header row as a 32-bit integer.
qint32 orderNumber(const QVariant& v) {
    if (isNull(v))
        throw core::Error(QStringLiteral("テーブル'denheaddata'の列'ORD_NO'が空(Null)です。"),
                          importerr::NullNumber);
    const auto d = numeric(v);
    if (!d || *d != std::trunc(*d))
        throw core::Error(
            QStringLiteral("テーブル'denheaddata'の列'ORD_NO'の値'%1'は発注番号ではありません。")
                .arg(v.toString()),
            importerr::NotANumber);
    if (*d < -2147483648.0 || *d > 2147483647.0)
        throw core::Error(
            QStringLiteral("テーブル'denheaddata'の列'ORD_NO'の値'%1'が大きすぎます。").arg(v.toString()),
            6); // overflow
    return static_cast<qint32>(*d);
}

// The order number, or nothing where orderNumber() refuses it.
std::optional<qint32> validOrderNumber(const QVariant& v) {
    try {
        return orderNumber(v);
    } catch (const core::Error&) {
        return std::nullopt;
    }
}

// Whether an order is in the work database already.
const QString kPresenceQuery = QStringLiteral("Select ORD_NO From rcv_denheaddata Where ORD_NO = ?");

QString insertStatement(const TableDef& t, const QString& extraColumn = {}, const QString& extraValue = {}) {
    QString sql = QStringLiteral("Insert Into ") + t.workTable + QStringLiteral(" (") +
                  t.names().join(QLatin1Char(','));
    if (!extraColumn.isEmpty())
        sql += QLatin1Char(',') + extraColumn;
    sql += QStringLiteral(") Values (");
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        sql += i == 0 ? QStringLiteral("?") : QStringLiteral(",?");
    if (!extraValue.isEmpty())
        sql += QLatin1Char(',') + extraValue;
    return sql + QLatin1Char(')');
}

// The statements of one table, built once: the text is the key of the connection's prepared
// statement, so every order binds the same statement again.
struct TableStatements {
    QString insert;
    QString deleteOrder;
};

const TableStatements& statementsOf(const TableDef& t) {
    static const auto all = [] {
        std::map<const TableDef*, TableStatements> m;
        for (const TableDef* def : lineTables())
            m[def] = {insertStatement(*def),
                      QStringLiteral("Delete From ") + def->workTable + QStringLiteral(" Where ORD_NO = ?")};
        m[&headerTable()] = {insertStatement(headerTable()), QString()};
        for (const TableDef* def : {&ehjStaging(), &fukiStaging()})
            m[def] = {insertStatement(*def, QStringLiteral("KAKUNIN_FLG"), QStringLiteral("'0'")), QString()};
        return m;
    }();
    return all.at(&t);
}

// The tag-code conversion; the same effect as the Update-From statement in every dialect. When the
// conversion table holds one client code twice, the smallest company code is taken.
const QString& tagConversion() {
    static const QString all = QStringLiteral(
        "Update rcv_posdata Set TAFCD = (Select Min(tagcd_henkan.TAG_CD) From tagcd_henkan "
        "Where tagcd_henkan.TAFCD = rcv_posdata.TAFCD) "
        "Where Exists (Select 1 From tagcd_henkan Where tagcd_henkan.TAFCD = rcv_posdata.TAFCD)");
    return all;
}

// The conversion of one order's rows. PostgreSQL keeps the plan of a statement run again and again,
// and plans it while rcv_posdata is still nearly empty: the join on TAFCD then made it walk the whole
// TAFCD index for every order (the import slowed down as the table grew). Comparing with `TAFCD || ''`
// (the same text, Null stays Null) leaves the ORD_NO index as the way to the order's rows.
QString tagConversionOfOrder(const WorkDatabase& work) {
    static const QString standard = tagConversion() + QStringLiteral(" And rcv_posdata.ORD_NO = ?");
    static const QString postgresql = QStringLiteral(
        "Update rcv_posdata Set TAFCD = (Select Min(tagcd_henkan.TAG_CD) From tagcd_henkan "
        "Where tagcd_henkan.TAFCD = rcv_posdata.TAFCD) "
        "Where Exists (Select 1 From tagcd_henkan Where tagcd_henkan.TAFCD = rcv_posdata.TAFCD || '') "
        "And rcv_posdata.ORD_NO = ?");
    return work.text(standard, postgresql);
}

qsizetype headerColumn(const char* name) {
    return headerTable().names().indexOf(QLatin1String(name));
}

} // namespace

// Rows are read from the file in groups of this many, so one order's lines never need all of their
// values in memory at once.
constexpr std::size_t kRowsPerStatementGroup = 256;

// One line table of the file, indexed on first use: the place of each row, grouped by order number
// and sorted by line. The values stay in the file until an order's lines are written.
struct LineIndex {
    std::vector<int> positions;                 // file column of each work column
    QHash<qint64, std::vector<qint64>> byOrder; // row places in ORD_NO, GYOU order
};

struct OrderImport::FileState {
    std::unique_ptr<OrderFile> file;
    std::vector<std::optional<LineIndex>> lines = std::vector<std::optional<LineIndex>>(4);

    const LineIndex& lineTable(std::size_t i) {
        if (!lines[i]) {
            const TableDef& def = *lineTables()[i];
            LineIndex idx;
            idx.positions = resolveColumns(def, file->columns(def.fileTable));
            const int ordCol =
                idx.positions[static_cast<std::size_t>(def.names().indexOf(QStringLiteral("ORD_NO")))];
            const int gyouCol =
                idx.positions[static_cast<std::size_t>(def.names().indexOf(QStringLiteral("GYOU")))];
            std::vector<QVariant> gyou;
            file->forEachRow(def.fileTable, [&](qint64 place, const FileValues& row) {
                gyou.push_back(row[static_cast<std::size_t>(gyouCol)]);
                const auto n = numeric(row[static_cast<std::size_t>(ordCol)]);
                if (n && *n == std::trunc(*n))
                    idx.byOrder[static_cast<qint64>(*n)].push_back(place);
            });
            for (auto& rows : idx.byOrder)
                std::stable_sort(rows.begin(), rows.end(), [&](qint64 a, qint64 b) {
                    return sortsBefore(gyou[static_cast<std::size_t>(a)], gyou[static_cast<std::size_t>(b)]);
                });
            lines[i] = std::move(idx);
        }
        return *lines[i];
    }
};

namespace {

// Reads the rows at the places in groups and hands each group's rows to write().
void inGroups(const OrderFile& file, const QString& table, const std::vector<qint64>& places,
              const std::function<void(const std::vector<FileValues>&)>& write) {
    for (std::size_t at = 0; at < places.size(); at += kRowsPerStatementGroup) {
        const std::vector<qint64> group(places.begin() + static_cast<std::ptrdiff_t>(at),
                                        places.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                             places.size(), at + kRowsPerStatementGroup)));
        write(file.readRows(table, group));
    }
}

} // namespace

OrderImport::OrderImport(core::Prompter& prompter, WorkDatabase& work, ImportServices services)
    : prompter_(prompter), work_(work), services_(std::move(services)) {}

void OrderImport::logAndList(const QString& line) {
    if (services_.log)
        services_.log(line);
    prompter_.listAdd(line);
}

bool OrderImport::cmdImp_Click(const QString& localFolder) {
    tally_ = {};
    prompter_.listClear();
    QString path;
    try {
        path = core::MF_FirstFileByExt(localFolder, QStringLiteral("mdb"));
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("cmdImp_Click"), core::MsgIcon::Critical);
        return false;
    }
    if (path.isEmpty()) {
        tally_.noFiles = true;
        prompter_.message(QStringLiteral("指定フォルダ(") + localFolder +
                              QStringLiteral(")には拡張子'mdb'のファイルが１件もありません。") + kCrLf +
                              QStringLiteral("処理を中止します。"),
                          QStringLiteral("ファイル発見できません"), core::MsgIcon::None);
        return false;
    }
    while (!path.isEmpty()) {
        if (!MF_MdbImport(path)) {
            ++tally_.files;
            logAndList(QStringLiteral("成功(") + path + QLatin1Char(')'));
            // The file goes only once its orders would survive a power failure.
            try {
                work_.syncToDisk();
            } catch (const core::Error& e) {
                prompter_.message(e.text() + kCrLf + QStringLiteral("ファイル(") + path +
                                      QStringLiteral(")は受信フォルダに残してあります。") + kCrLf +
                                      QStringLiteral("処理を中止します。"),
                                  QStringLiteral("cmdImp_Click"), core::MsgIcon::Critical);
                return false;
            }
            if (!QFile::remove(path)) {
                // The loop would take the same file again and find its orders present.
                prompter_.message(QStringLiteral("ファイル(") + path +
                                      QStringLiteral(")を削除できませんでした。") + kCrLf +
                                      QStringLiteral("処理を中止します。"),
                                  QStringLiteral("cmdImp_Click"), core::MsgIcon::Critical);
                return false;
            }
        } else if (!work_.isAlive()) {
            // The database went away: the file is not at fault and stays for the next import,
            // which refuses its committed orders as present and loads the rest.
            logAndList(QStringLiteral("♯データベース接続切断、読み込み中断(") + path + QLatin1Char(')'));
            prompter_.message(QStringLiteral("データベースとの接続が切れました。") + kCrLf +
                                  QStringLiteral("ファイル(") + path +
                                  QStringLiteral(")は受信フォルダに残してあります。") + kCrLf +
                                  QStringLiteral("接続を確かめてから、もう一度読み込んでください。"),
                              QStringLiteral("読み込み中断"), core::MsgIcon::Critical);
            return false;
        } else {
            ++tally_.files;
            ++tally_.setAside;
            logAndList(QStringLiteral("db化失敗、ファイル名変更(") + path + QLatin1Char(')'));
            try {
                core::MF_ExtChange(path, QStringLiteral("err"), true);
            } catch (const core::Error& e) {
                prompter_.message(e.text() + kCrLf + QStringLiteral("処理を中止します。"),
                                  QStringLiteral("MF_ExtChange"), core::MsgIcon::Critical);
                return false;
            }
            if (QFile::exists(path)) { // never take the same file again
                prompter_.message(QStringLiteral("ファイル(") + path +
                                      QStringLiteral(")の拡張子を変更できませんでした。") + kCrLf +
                                      QStringLiteral("処理を中止します。"),
                                  QStringLiteral("MF_ExtChange"), core::MsgIcon::Critical);
                return false;
            }
            const bool goOn = prompter_.question(
                QStringLiteral("ファイル(") + path + QStringLiteral(")を読み込み中にエラーが発生しました。") +
                    kCrLf + QStringLiteral("エラーが見つかったファイルは拡張子が 'err' に変更されます。") +
                    kCrLf + kCrLf + QStringLiteral("処理を続けますか？"),
                QStringLiteral("読み込みエラー"), false, core::MsgIcon::Critical);
            if (!goOn)
                return false;
        }
        try {
            path = core::MF_FirstFileByExt(localFolder, QStringLiteral("mdb"));
        } catch (const core::Error& e) {
            prompter_.message(e.text(), QStringLiteral("cmdImp_Click"), core::MsgIcon::Critical);
            return false;
        }
    }
    finalSteps();
    return true;
}

void OrderImport::finalSteps() {
    try {
        work_.execute(tagConversion());
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("cmdImp_Click"), core::MsgIcon::Critical);
    }
    prompter_.message(QStringLiteral("読み込み終了いたしました。"), QStringLiteral("終了"),
                      core::MsgIcon::None);
    try {
        if (work_.hasRow(QStringLiteral("Select * From rrk_ehj Where KAKUNIN_FLG = '0' "))) {
            prompter_.message(QStringLiteral("確認が必要な絵表示の情報があります。"),
                              QStringLiteral("絵表示"), core::MsgIcon::Exclamation);
            if (services_.openKakuninEhj)
                services_.openKakuninEhj();
        }
        if (work_.hasRow(QStringLiteral("Select * From rrk_fuki Where KAKUNIN_FLG = '0' "))) {
            prompter_.message(QStringLiteral("確認が必要な付記用語の情報があります。"),
                              QStringLiteral("付記用語"), core::MsgIcon::Exclamation);
            if (services_.openKakuninFuki)
                services_.openKakuninFuki();
        }
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("cmdImp_Click"), core::MsgIcon::Critical);
    }
}

bool OrderImport::MF_MdbImport(const QString& path) {
    FileState file;
    try {
        file.file = services_.openFile(path);
        if (file.file->hasTable(QStringLiteral("denheaddata"))) {
            const QString table = QStringLiteral("denheaddata");
            const std::vector<int> pos = resolveColumns(headerTable(), file.file->columns(table));
            const auto ordCol = static_cast<std::size_t>(pos[0]);
            // Only the order numbers are kept; each header row is read when its order is imported.
            std::vector<std::pair<QVariant, qint64>> order;
            file.file->forEachRow(
                table, [&](qint64 place, const FileValues& row) { order.emplace_back(row[ordCol], place); });
            std::stable_sort(order.begin(), order.end(),
                             [](const auto& a, const auto& b) { return sortsBefore(a.first, b.first); });
            std::optional<qint32> previous;
            std::vector<QVariant> src(pos.size());
            for (std::size_t i = 0; i < order.size(); ++i) {
                const auto& [ordNo, place] = order[i];
                const qint32 n = orderNumber(ordNo);
                // "Where ORD_NO = n" finds the first row of that number; rows of one number are adjacent
                // after the sort, so a repeated number reads the same row again.
                if (n != previous) {
                    const FileValues row = file.file->readRows(table, {place}).at(0);
                    for (std::size_t c = 0; c < pos.size(); ++c)
                        src[c] = pos[c] >= 0 ? row[static_cast<std::size_t>(pos[c])] : QVariant();
                }
                previous = n;
                // The order's header, lines and tag codes are written together or not at all.
                WorkTransaction tx(work_);
                if (MF_DenHeadImport(file, n, src))
                    continue; // already present: refused, nothing written
                MP_PosImport(file, n);
                MP_CarImport(file, n);
                MP_AddFukiImport(file, n);
                MP_FuzokuImport(file, n);
                work_.queue(tagConversionOfOrder(work_), {n});
                tx.commit();
                ++tally_.orders;
                prompter_.processEvents();
                if (services_.errDataMake) {
                    // The presence of the next order goes with the check's first wait for the server.
                    // The check writes only findings, so the answer holds when that order's turn comes.
                    if (i + 1 < order.size())
                        if (const auto next = validOrderNumber(order[i + 1].first))
                            work_.hasRowAhead(kPresenceQuery, {*next});
                    services_.errDataMake(n);
                }
            }
        }
        // Both tables of the file are staged together or not at all.
        WorkTransaction tx(work_);
        MP_EhjRrkImport(file);
        MP_FukiRrkImport(file);
        tx.commit();
    } catch (const core::Error& e) {
        file.file.reset();
        const QString line = QStringLiteral("♯") + e.text();
        logAndList(line);
        return true;
    } catch (const std::exception& e) {
        file.file.reset();
        logAndList(QStringLiteral("♯") + QString::fromLocal8Bit(e.what()));
        return true;
    }
    file.file.reset();
    return false;
}

bool OrderImport::MF_DenHeadImport(FileState&, qint32 n, const std::vector<QVariant>& headerRow) {
    if (work_.hasRow(kPresenceQuery, {n})) {
        const QString no = QString::number(n);
        prompter_.message(
            QStringLiteral("発注番号(") + no + QStringLiteral(")は既に読み込み済みです。") + kCrLf +
                QStringLiteral("読み込む事は出来ません。どうしても読み込みたい場合には、読み込み済み"
                               "の発注データを削除してから行ってください。"),
            QStringLiteral("読み込み済み"), core::MsgIcon::Critical);
        prompter_.listAdd(QStringLiteral("発注番号(") + no + QStringLiteral(")は既に受信（読込）済み"));
        return true;
    }
    const WorkValues header = mapHeader(headerRow, n);
    static const qsizetype biko1 = headerColumn("BIKO1");
    const QString caution = header[biko1].toString();
    if (!caution.isEmpty())
        prompter_.message(QStringLiteral("読み込み中の発注(") + QString::number(n) +
                              QStringLiteral(")に以下の注意情報があります。") + kCrLf + kCrLf + caution,
                          QStringLiteral("注意してください"), core::MsgIcon::Information);
    work_.executeEach(statementsOf(headerTable()).insert, {header});
    return false;
}

void OrderImport::importLines(FileState& file, std::size_t tableIndex, qint32 n) {
    const TableDef& def = *lineTables()[tableIndex];
    const LineIndex& idx = file.lineTable(tableIndex);
    const TableStatements& sql = statementsOf(def);
    work_.queue(sql.deleteOrder, {n});
    const auto it = idx.byOrder.constFind(n);
    if (it == idx.byOrder.constEnd())
        return;
    SourceValues src(def.columns.size());
    inGroups(*file.file, def.fileTable, *it, [&](const std::vector<FileValues>& group) {
        std::vector<QVariantList> rows;
        for (const FileValues& row : group) {
            for (std::size_t c = 0; c < def.columns.size(); ++c)
                src[c] = row[static_cast<std::size_t>(idx.positions[c])];
            rows.push_back(mapLine(def, src, n));
        }
        work_.executeEach(sql.insert, rows);
    });
}

void OrderImport::MP_PosImport(FileState& file, qint32 n) {
    importLines(file, 0, n);
}
void OrderImport::MP_CarImport(FileState& file, qint32 n) {
    importLines(file, 1, n);
}
void OrderImport::MP_AddFukiImport(FileState& file, qint32 n) {
    importLines(file, 2, n);
}
void OrderImport::MP_FuzokuImport(FileState& file, qint32 n) {
    importLines(file, 3, n);
}

void OrderImport::stageSubmissions(FileState& file, const TableDef& def) {
    const QStringList columns = file.file->columns(def.fileTable);
    const std::vector<int> pos = resolveColumns(def, columns);
    const qsizetype idCol = [&] {
        for (qsizetype i = 0; i < columns.size(); ++i)
            if (columns[i].compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
                return i;
        throw core::Error(QStringLiteral("テーブル'%1'に列'id'がありません。").arg(def.fileTable),
                          importerr::MissingColumn);
    }();
    std::vector<std::pair<QVariant, qint64>> order;
    file.file->forEachRow(def.fileTable, [&](qint64 place, const FileValues& row) {
        order.emplace_back(row[static_cast<std::size_t>(idCol)], place);
    });
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return sortsBefore(a.first, b.first); });
    std::vector<qint64> places;
    places.reserve(order.size());
    for (const auto& entry : order)
        places.push_back(entry.second);
    const QString& insert = statementsOf(def).insert;
    SourceValues src(def.columns.size());
    inGroups(*file.file, def.fileTable, places, [&](const std::vector<FileValues>& group) {
        std::vector<QVariantList> rows;
        for (const FileValues& row : group) {
            for (std::size_t c = 0; c < def.columns.size(); ++c)
                src[c] = row[static_cast<std::size_t>(pos[c])];
            rows.push_back(mapStaging(def, src));
        }
        work_.executeEach(insert, rows);
    });
}

void OrderImport::MP_EhjRrkImport(FileState& file) {
    stageSubmissions(file, ehjStaging());
}
void OrderImport::MP_FukiRrkImport(FileState& file) {
    stageSubmissions(file, fukiStaging());
}

core::Outcome OrderImport::Command1_Click() {
    const auto password = prompter_.input(QStringLiteral("全発注データを削除します。") + kCrLf +
                                              QStringLiteral("パスワードを入力してください。"),
                                          QStringLiteral("全削除"));
    if (password.value_or(QString()) != QLatin1String("fern")) {
        prompter_.message(QStringLiteral("パスワードが違います。"), QStringLiteral("エラー"),
                          core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    core::BusyPointer busy(prompter_);
    try {
        // All ten tables are emptied together or not at all.
        WorkTransaction tx(work_);
        for (const QString& table : deleteAllTables())
            work_.execute(QStringLiteral("Delete From ") + table);
        tx.commit();
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("Command1_Click"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    return core::Outcome::Done;
}

} // namespace kemnoa::receiving
