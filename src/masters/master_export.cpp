#include "masters/master_export.h"

#include "core/error.h"
#include "core/program_folder.h"
#include "platform/db/reader.h"
#include "platform/db/sql_text.h"
#include "platform/jet/jet_writer.h"
#include "transfer/ftp_helpers.h"
#include "transfer/ftp_log.h"
#include "transfer/remote_name.h"

#include <QFile>
#include <cmath>
#include <limits>

namespace kemnoa::masters {

using core::MsgIcon;
using core::Outcome;
using transfer::SharedFtp;

namespace {

const QString kPattern = QStringLiteral("*MST*.mdb");
constexpr long kNumericOverflow = 3349; // Jet: numeric field overflow

// A column of the export file and the result column it is filled from.
struct ExportColumn {
    const char* name;
    jet::ColumnType type;
    const char* source;
};

struct ExportTable {
    const char* name;
    const char* statement;
    std::vector<ExportColumn> columns;
};

// The tables in the order they are created; columns in file order.
const std::vector<ExportTable>& exportTables() {
    static const std::vector<ExportTable> tables = {
        {"mst_namecode",
         "Select name_nm From kemmst_namecode ",
         {{"NAME_NM", jet::ColumnType::Text, "name_nm"}}},
        {"mst_sizaicode",
         "Select sizai_nm, sizai_cd, name_nm From kemmst_sizaicode ",
         {{"SIZAI_NM", jet::ColumnType::Text, "sizai_nm"},
          {"NAME_NM", jet::ColumnType::Text, "name_nm"},
          {"SIZAI_CD", jet::ColumnType::Text, "sizai_cd"}}},
        {"mst_size",
         "Select size_value, sort_lv From kemmst_size ",
         {{"SIZE_VALUE", jet::ColumnType::Text, "size_value"},
          {"SORT_LV", jet::ColumnType::Long, "sort_lv"}}},
    };
    return tables;
}

// A sort order as a Long Integer. Null stays Null; a fraction is rounded as Jet converts to Long
// (half to even); a value that is not a number, or beyond a Long, fails the build.
jet::Value longValue(const QVariant& v) {
    if (db::isNull(v))
        return {};
    const QString text = db::valueText(v).trimmed();
    if (text.isEmpty())
        return {};
    bool ok = false;
    const double d = text.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw core::Error(QStringLiteral("整列順の値 %1 は数値ではありません。").arg(text),
                          jet::errnum::TypeMismatch);
    const double rounded = std::nearbyint(d);
    if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max())
        throw core::Error(QStringLiteral("整列順の値 %1 は長整数型の範囲を超えています。").arg(text),
                          kNumericOverflow);
    return jet::Value::integer(static_cast<qint64>(rounded));
}

// A text value as stored: Null stays Null, everything else as its text.
jet::Value textValue(const QVariant& v) {
    return db::isNull(v) ? jet::Value() : jet::Value::text(db::valueText(v));
}

void copyTable(db::Connection& work, jet::JetWriter& file, const ExportTable& table) {
    std::vector<jet::ColumnDef> defs;
    // Text columns take the engine's default size, 255 characters, the most a Text column holds and
    // as long as any value the master columns can hold; a longer value fails the build (3163).
    for (const ExportColumn& c : table.columns)
        defs.push_back({QString::fromLatin1(c.name), c.type});
    const QString name = QString::fromLatin1(table.name);
    file.createTable(name, defs);

    db::Reader r = work.read(QString::fromLatin1(table.statement));
    std::vector<int> source;
    for (const ExportColumn& c : table.columns) {
        const int index = r.columnIndex(QString::fromLatin1(c.source));
        if (index < 0)
            throw core::Error(QStringLiteral("列 %1 が見つかりません。").arg(QString::fromLatin1(c.source)),
                              jet::errnum::ItemNotFound);
        source.push_back(index);
    }
    for (; !r.atEnd(); r.moveNext()) {
        jet::Row row;
        row.reserve(table.columns.size());
        for (size_t i = 0; i < table.columns.size(); ++i) {
            const QVariant v = r.value(source[i]);
            row.push_back(table.columns[i].type == jet::ColumnType::Long ? longValue(v) : textValue(v));
        }
        file.insert(name, row);
    }
}

// Writes one progress line: to the log first, then to the list.
class Progress {
public:
    explicit Progress(core::Prompter& p) : p_(p) {}
    void both(const QString& text) {
        transfer::MP_FtpLog(text, &p_);
        p_.listAdd(text);
    }
    void log(const QString& text) { transfer::MP_FtpLog(text, &p_); }

private:
    core::Prompter& p_;
};

// Removes the local export file on every way out of the run.
class LocalFile {
public:
    explicit LocalFile(QString path) : path_(std::move(path)) {}
    ~LocalFile() {
        if (QFile::exists(path_))
            QFile::remove(path_);
    }
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;
    const QString& path() const { return path_; }

private:
    QString path_;
};

QString wrapped(const char* before, const QString& name) {
    return QString::fromUtf8(before) + QLatin1Char('(') + name + QLatin1Char(')');
}

// A listed name that names a file of the login directory and nothing beyond it.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           name != QLatin1String(".") && name != QLatin1String("..");
}

} // namespace

QString masterTimestamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyMMddHHmmss"));
}

Outcome MF_MstDbMake(core::Prompter& prompter, db::Connection& work, const QString& localPath) {
    try {
        jet::JetWriter file(localPath);
        for (const ExportTable& table : exportTables())
            copyTable(work, file, table);
        file.close();
        return Outcome::Done;
    } catch (const core::Error& e) {
        prompter.message(QStringLiteral("データベース作成中に以下のエラーが発生しました。\r\n\r\n") +
                             e.description(),
                         QStringLiteral("エラー"), MsgIcon::Critical);
        return Outcome::Failed;
    }
}

Outcome runMasterExport(core::Prompter& prompter, db::Connection& work, const QDateTime& now) {
    if (!prompter.question(QStringLiteral("マスタファイルを送信しますか？"), QStringLiteral("送信確認")))
        return Outcome::Failed;

    transfer::SharedFtpScope ftpScope;
    const QString stamp = masterTimestamp(now);
    const QString tempName = QStringLiteral("TMST") + stamp + QStringLiteral(".mdb");
    const QString newName = QStringLiteral("MST") + stamp + QStringLiteral(".mdb");
    const LocalFile local(core::programFolder() + newName);

    if (failed(MF_MstDbMake(prompter, work, local.path()))) {
        prompter.message(QStringLiteral("処理を終了します。"), QStringLiteral("エラー"), MsgIcon::Critical);
        return Outcome::Failed;
    }

    Progress progress(prompter);
    progress.log(QStringLiteral("▼") + QString(53, QChar(0x25A0)));
    prompter.listClear();

    if (const auto failure = transfer::connectForJob()) {
        for (const QString& line : failure->lines)
            progress.both(line);
        if (!failure->message.isEmpty())
            prompter.message(failure->message, QStringLiteral("cmdOk_Click"), MsgIcon::Critical);
        return Outcome::Failed;
    }
    progress.both(QStringLiteral("接続成功"));

    // The master files published before (and temporary files of failed runs), listed now and
    // deleted once the new file is published.
    QStringList old;
    bool listingFailed = false;
    SharedFtp->FTPFrr = [&](qint32, const QString&) { listingFailed = true; };
    SharedFtp->FindFile(kPattern);
    SharedFtp->FTPFrr = nullptr;
    for (; !SharedFtp->RemoteFile.SearchEnd; SharedFtp->NextFile()) {
        const ftp::FTPFile& entry = SharedFtp->RemoteFile;
        if (entry.FileType == ftp::FileAttributeDirectory)
            continue;
        if (entry.FileName != tempName && entry.FileName != newName)
            old << entry.FileName;
    }

    if (transfer::MF_FtpPut(local.path(), tempName) != 0) {
        progress.both(wrapped("♯送信失敗", local.path()));
        return Outcome::Failed;
    }
    progress.both(wrapped("送信成功", local.path()));

    if (transfer::MF_FtpRename(tempName, newName) != 0) {
        progress.both(wrapped("♯改名失敗", local.path()));
        return Outcome::Failed;
    }
    progress.both(wrapped("改名成功", local.path()));

    bool deleteFailed = false;
    if (listingFailed) {
        // Without a listing the old files stay; the operator learns that they were not removed.
        progress.both(wrapped("♯削除失敗", kPattern));
        deleteFailed = true;
    }
    for (const QString& name : old) {
        if (isPlainName(name) && transfer::MF_FtpDelete(name) == 0) {
            progress.both(wrapped("削除成功", name));
        } else {
            progress.both(wrapped("♯削除失敗", transfer::printableName(name)));
            deleteFailed = true;
        }
    }

    if (transfer::MF_FtpDisconnect() != 0) {
        progress.both(QStringLiteral("♯開放失敗"));
        return Outcome::Failed;
    }
    progress.both(QStringLiteral("開放成功"));
    prompter.listAdd(QStringLiteral("処理完了しました。"));
    progress.log(QStringLiteral("△") + QString(53, QChar(0x25A1)));
    prompter.message(QStringLiteral("処理完了しました。"), QStringLiteral("完了"), MsgIcon::None);
    return deleteFailed ? Outcome::DoneWithFailures : Outcome::Done;
}

} // namespace kemnoa::masters
