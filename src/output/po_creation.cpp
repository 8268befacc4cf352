#include "output/po_creation.h"

#include "core/error.h"
#include "core/file_helpers.h"
#include "core/lzh_make.h"
#include "core/program_folder.h"
#include "maintenance/server_procedures.h"
#include "output/po_database_update.h"
#include "output/sk_database_update.h"
#include "platform/db/reader.h"

#include <QFile>
#include <QFileInfo>

namespace kemnoa::output {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kErrorTitle = QStringLiteral("PO作成エラー");

// The check pass: the master check of every order of the ticked POs, in list order. Stops at the first
// order with findings (after showing them) or whose check could not run; true when all passed.
bool checkPass(core::Prompter& prompter, db::Connection& work, const std::vector<PoExpRow>& rows) {
    for (const PoExpRow& row : rows) {
        if (!row.chk)
            continue;
        std::vector<qint32> orders;
        for (db::Reader r = work.read(QStringLiteral("Select ORD_NO From rcv_denheaddata "
                                                     "Where PO_NO = ? And PO_KBN = ? Order By ORD_NO "),
                                      {row.poNo, row.poKbn});
             !r.atEnd(); r.moveNext())
            orders.push_back(r.value(0).toInt());
        for (qint32 ordNo : orders) {
            if (failed(maintenance::MP_ErrDataMake(prompter, work, ordNo)))
                return false; // the check's own message has said why
            db::Reader r = work.read(
                QStringLiteral("Select * From rcv_errdata Where ORD_NO = ? Order By GYOU"), {ordNo});
            if (r.atEnd())
                continue;
            for (; !r.atEnd(); r.moveNext())
                prompter.message(QStringLiteral("エラーが発見されました。エラー内容は以下の通りです。") +
                                     kCrLf + kCrLf + r.text(QStringLiteral("ERR_VALUE")) + kCrLf +
                                     r.text(QStringLiteral("ERR_MESSAGE")) + kCrLf + kCrLf +
                                     QStringLiteral("発注番号(") + QString::number(ordNo) +
                                     QStringLiteral(")にエラーが含まれています。"),
                                 r.text(QStringLiteral("ERR_TITLE")), core::MsgIcon::Critical);
            return false;
        }
    }
    return true;
}

// Why the PO's number or one of its layout codes cannot be part of a path; empty when all can.
QString pathRefusal(db::Connection& work, const QString& poNo, const QString& poKbn) {
    const QString notMade = kCrLf + QStringLiteral("このPOは作成しません。");
    if (const QString problem = fileNameProblem(poNo); !problem.isEmpty())
        return QStringLiteral("PO番号(") + poNo + QStringLiteral(")はファイル名に使えません(") + problem +
               QStringLiteral(")。") + notMade;
    for (db::Reader r =
             work.read(QStringLiteral("Select LAYOUT From rcv_skdata Where PO_NO = ? And PO_KBN = ? "
                                      "Group By LAYOUT Order By LAYOUT "),
                       {poNo, poKbn});
         !r.atEnd(); r.moveNext()) {
        const QString layout = r.text(0);
        if (layout.isEmpty())
            continue; // assortment lines have none
        if (const QString problem = fileNameProblem(layout); !problem.isEmpty())
            return QStringLiteral("PO番号(") + poNo + QStringLiteral(")のレイアウト(") + layout +
                   QStringLiteral(")はファイル名に使えません(") + problem + QStringLiteral(")。") + notMade;
    }
    return {};
}

class Build {
public:
    Build(core::Prompter& prompter, db::Connection& work, db::Connection& po, db::Connection& sk,
          const QString& poBase, const QString& templates, const PoCreationSteps& steps)
        : prompter_(prompter), work_(work), po_(po), sk_(sk), poBase_(core::withSeparator(poBase)),
          templates_(templates), steps_(steps) {}

    // Builds one PO; true when it was marked sent.
    bool run(const QString& poNo, const QString& poKbn) {
        try {
            if (const QString refusal = pathRefusal(work_, poNo, poKbn); !refusal.isEmpty()) {
                prompter_.message(refusal, kErrorTitle, core::MsgIcon::Critical);
                return false;
            }
            if (build(poNo, poKbn))
                return true;
        } catch (const core::Error& e) {
            failure(poNo, e.text());
        } catch (const std::exception& e) {
            failure(poNo, QString::fromLocal8Bit(e.what()));
        }
        prompter_.message(QStringLiteral("PO番号(") + poNo +
                              QStringLiteral(")は作成を完了できなかったため、送信済みにしていません。"),
                          QStringLiteral("PO作成"), core::MsgIcon::Exclamation);
        return false;
    }

private:
    void progress(const char* step, const QString& poNo) {
        prompter_.splashStatus(QString::fromUtf8(step) + poNo + QLatin1Char(')'));
    }

    void failure(const QString& poNo, const QString& error) {
        prompter_.message(QStringLiteral("PO番号(") + poNo +
                              QStringLiteral(")の作成中にエラーが発生しました。") + kCrLf + error,
                          kErrorTitle, core::MsgIcon::Critical);
    }

    // The steps in order, stopping at the first that fails (each reports its own failure): nothing is
    // made from a database update that did not happen, and no archive from an incomplete package.
    bool build(const QString& poNo, const QString& poKbn) {
        const QString folder = poOutputFolder(poBase_, poNo);
        const QString archive = poArchivePath(poBase_, poNo);
        // Nothing of an earlier run may stand for this one, whatever step fails.
        if (QFileInfo::exists(archive) && !QFile::remove(archive))
            throw core::Error(QStringLiteral("前回の圧縮ファイル(") + archive +
                                  QStringLiteral(")を削除できません。"),
                              core::errnum::PermissionDenied);
        removeEarlierPackage(folder, poNo);

        progress("POデータベース更新(", poNo);
        if (failed(steps_.poDatabase ? steps_.poDatabase(prompter_, work_, po_, poNo, poKbn)
                                     : MF_PoDatabaseUpdate(prompter_, work_, po_, poNo, poKbn)))
            return false;
        progress("SKデータベース更新(", poNo);
        if (failed(steps_.skDatabase ? steps_.skDatabase(prompter_, work_, sk_, poNo, poKbn)
                                     : MF_SkDatabaseUpdate(prompter_, work_, sk_, poNo, poKbn)))
            return false;
        progress("書き出しフォルダ作成(", poNo);
        core::MF_FolderMake(folder);
        progress("上海向けファイル作成(", poNo);
        if (failed(MF_FilePackageMake(prompter_, work_, po_, sk_, poNo, poKbn, folder, templates_,
                                      steps_.package)))
            return false;
        progress("ケム向け受領確認エクセルファイル作成(", poNo);
        if (failed(steps_.receipt(prompter_, work_, po_, poNo, poKbn, folder)))
            return false;

        QString destination = poBase_;
        QString message;
        if (core::MF_LzhMake(folder, destination, poNo + QStringLiteral(".lzh"), message, &prompter_) != 0) {
            prompter_.message(message, QStringLiteral("圧縮ファイル作成エラー"), core::MsgIcon::Critical);
            return false;
        }
        if (!QFileInfo(archive).isFile()) {
            prompter_.message(QStringLiteral("圧縮ファイル(") + archive + QStringLiteral(")がありません。"),
                              QStringLiteral("圧縮ファイル作成エラー"), core::MsgIcon::Critical);
            return false;
        }
        work_.execute(
            QStringLiteral("Update rcv_denheaddata Set SEND_FLG = '1' Where PO_NO = ? And PO_KBN = ? "),
            {poNo, poKbn});
        return true;
    }

    core::Prompter& prompter_;
    db::Connection& work_;
    db::Connection& po_;
    db::Connection& sk_;
    QString poBase_;
    QString templates_;
    const PoCreationSteps& steps_;
};

} // namespace

std::vector<PoExpRow> loadPoExpList(db::Connection& work) {
    std::vector<PoExpRow> rows;
    for (db::Reader r = work.read(
             QStringLiteral("Select A01.PO_NO,A01.PO_KBN,A01.NOU_CD,A01.NOU_NM,A01.KIBO_DATE From "
                            "(Select PO_NO,PO_KBN,NOU_CD,NOU_NM,KIBO_DATE From rcv_denheaddata "
                            "Where SEND_FLG <> '1' And ERR_SU = 0 And PO_NO <> '' "
                            "Group By PO_NO,PO_KBN,NOU_CD,NOU_NM,KIBO_DATE ) As A01 Inner Join "
                            "(Select PO_NO,PO_KBN From rcv_skdata Group By PO_NO,PO_KBN ) As A02 On "
                            "A01.PO_NO = A02.PO_NO And A01.PO_KBN = A02.PO_KBN "
                            "Order By A01.PO_NO,A01.PO_KBN,A01.NOU_CD,A01.NOU_NM,A01.KIBO_DATE "));
         !r.atEnd() && int(rows.size()) < kPoExpListLimit; r.moveNext())
        rows.push_back({r.text(0), r.text(1), r.text(2), r.text(3), r.text(4), true});
    return rows;
}

QString poOutputFolder(const QString& poBase, const QString& poNo) {
    return core::withSeparator(poBase) + poNo + QLatin1Char('/');
}

QString poArchivePath(const QString& poBase, const QString& poNo) {
    return core::withSeparator(poBase) + poNo + QStringLiteral(".lzh");
}

core::Outcome runPoCreation(core::Prompter& prompter, db::Connection& work, db::Connection& po,
                            db::Connection& sk, const std::vector<PoExpRow>& rows, const QString& poBase,
                            const QString& templates, const PoCreationSteps& steps,
                            PoCreationResult* result) {
    core::BusyPointer busy(prompter);
    PoCreationResult r;
    if (poBase.trimmed().isEmpty()) { // the files would land in the file system's root
        prompter.message(QStringLiteral("PO出力フォルダ(PO_FILE の FOLDER)が設定されていません。"),
                         kErrorTitle, core::MsgIcon::Critical);
        r.stopped = true;
        if (result)
            *result = r;
        return core::Outcome::Failed;
    }
    try {
        if (!checkPass(prompter, work, rows)) {
            prompter.message(QStringLiteral("エラーを解消し再度実行してください。"),
                             QStringLiteral("エラー終了"), core::MsgIcon::Information);
            prompter.splashEnd();
            r.stopped = true;
            if (result)
                *result = r;
            return core::Outcome::Failed;
        }
    } catch (const core::Error& e) {
        prompter.splashEnd();
        prompter.message(e.text(), QStringLiteral("cmdOk_Click"), core::MsgIcon::Critical);
        r.stopped = true;
        if (result)
            *result = r;
        return core::Outcome::Failed;
    }

    Build build(prompter, work, po, sk, poBase, templates, steps);
    for (const PoExpRow& row : rows) {
        if (!row.chk)
            continue;
        const QString name = row.poNo + QLatin1Char(' ') + row.poKbn;
        (build.run(row.poNo, row.poKbn) ? r.sent : r.unsent) << name;
        prompter.processEvents();
    }
    prompter.splashEnd();
    QString text = QStringLiteral("処理は終了しました。");
    if (!r.unsent.isEmpty())
        text += kCrLf + kCrLf +
                QStringLiteral("送信済みにできなかったPOが%1件あります。エラーを解消し再度実行してください。")
                    .arg(r.unsent.size());
    prompter.message(text, QStringLiteral("完了"), core::MsgIcon::Information);
    if (result)
        *result = r;
    if (r.unsent.isEmpty())
        return core::Outcome::Done;
    return r.sent.isEmpty() ? core::Outcome::Failed : core::Outcome::DoneWithFailures;
}

} // namespace kemnoa::output
