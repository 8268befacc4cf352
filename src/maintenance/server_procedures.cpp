#include "maintenance/server_procedures.h"

#include "core/connections.h"
#include "core/error.h"
#include "core/session.h"
#include "maintenance/err_data_make_procedure.h"
#include "maintenance/po_rows_procedures.h"
#include "platform/db/command.h"

namespace kemnoa::maintenance {
namespace {

struct ProcedureInput {
    QString name;
    db::ParamType type;
    int size;
    QVariant value;
};

core::Outcome runProcedure(core::Prompter& prompter, db::Connection& work, const QString& procedure,
                           int timeoutSeconds, const QString& progress, const QString& failureLine,
                           const std::vector<ProcedureInput>& inputs) {
    prompter.splashStatus(progress);
    QString errMsg;
    bool failed = false;
    try {
        db::Command cmd(work, procedure, timeoutSeconds);
        cmd.addParameter(QStringLiteral("RETURN_VALUE"), db::ParamType::Integer,
                         db::ParamDirection::ReturnValue);
        for (const ProcedureInput& p : inputs)
            cmd.addParameter(p.name, p.type, db::ParamDirection::Input, p.size, p.value);
        cmd.addParameter(QStringLiteral("@errMsg"), db::ParamType::VarChar, db::ParamDirection::Output, 4000);
        cmd.execute();
        if (cmd.returnValue() != 0) {
            failed = true;
            errMsg = cmd.value(QStringLiteral("@errMsg")).toString();
        }
    } catch (const core::Error& e) {
        // The call itself failed (connection lost, time-out): reported the same way.
        failed = true;
        errMsg = e.text();
    }
    prompter.splashEnd();
    if (!failed)
        return core::Outcome::Done;
    prompter.message(
        failureLine +
            QStringLiteral("\r\n管理者に報告してください。\r\nエラー内容は以下の通りです。\r\n\r\n") + errMsg,
        QStringLiteral("エラー"), core::MsgIcon::Critical);
    return core::Outcome::Failed;
}

} // namespace

core::Outcome MP_ErrDataMake(core::Prompter& prompter, db::Connection& work, qint32 ordNo) {
    registerMasterCheckProcedures();
    const core::DbSettings& po = core::session().PoDb;
    return runProcedure(prompter, work, QStringLiteral("kem_errdatamake_main"), 100,
                        QStringLiteral("エラーチェック"),
                        QStringLiteral("エラーチェック処理中にエラーが発生しました。"),
                        {{QStringLiteral("@OrdNo"), db::ParamType::Integer, 4, ordNo},
                         {QStringLiteral("@PoSv"), db::ParamType::VarChar, 255, po.ServerName},
                         {QStringLiteral("@PoDb"), db::ParamType::VarChar, 255, po.DbName}});
}

core::Outcome MP_CsvDataMake(core::Prompter& prompter, db::Connection& work, const QString& poNo,
                             const QString& poKbn) {
    registerPoRowProcedures();
    return runProcedure(prompter, work, QStringLiteral("kem_csvdatamake_main"), 50,
                        QStringLiteral("CSVテーブル作成"),
                        QStringLiteral("CSVテーブル作成中にエラーが発生しました。"),
                        {{QStringLiteral("@PoNo"), db::ParamType::VarChar, 50, poNo},
                         {QStringLiteral("@PoKbn"), db::ParamType::VarChar, 10, poKbn}});
}

core::Outcome MP_SkDataMake(core::Prompter& prompter, db::Connection& work, const QString& poNo,
                            const QString& poKbn) {
    registerPoRowProcedures();
    return runProcedure(prompter, work, QStringLiteral("kem_skdatamake_main"), 200,
                        QStringLiteral("生産管理テーブル作成"),
                        QStringLiteral("生産管理テーブルを作成中にエラーが発生しました。"),
                        {{QStringLiteral("@PoNo"), db::ParamType::VarChar, 50, poNo},
                         {QStringLiteral("@PoKbn"), db::ParamType::VarChar, 10, poKbn}});
}

core::Outcome MP_ErrDataMake(core::Prompter& prompter, qint32 ordNo) {
    return MP_ErrDataMake(prompter, core::cnWork(), ordNo);
}

core::Outcome MP_CsvDataMake(core::Prompter& prompter, const QString& poNo, const QString& poKbn) {
    return MP_CsvDataMake(prompter, core::cnWork(), poNo, poKbn);
}

core::Outcome MP_SkDataMake(core::Prompter& prompter, const QString& poNo, const QString& poKbn) {
    return MP_SkDataMake(prompter, core::cnWork(), poNo, poKbn);
}

} // namespace kemnoa::maintenance
