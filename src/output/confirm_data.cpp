#include "output/confirm_data.h"

#include "core/connections.h"
#include "core/error.h"
#include "maintenance/server_procedures.h"
#include "platform/db/reader.h"

#include <QSet>
#include <QTextStream>
#include <algorithm>

namespace kemnoa::output {

std::vector<KakuninRow> loadKakuninList(db::Connection& work) {
    std::vector<KakuninRow> rows;
    for (db::Reader r =
             work.read(QStringLiteral("Select PO_NO,PO_KBN,KIBO_DATE,PRN_SU From rcv_denheaddata "
                                      "Where SEND_FLG <> '1' And ERR_SU = 0 And PO_NO <> '' "
                                      "Group By PO_NO,PO_KBN,KIBO_DATE,PRN_SU Order By PO_NO, PO_KBN "));
         !r.atEnd(); r.moveNext()) {
        KakuninRow row;
        row.poNo = r.text(0);
        row.poKbn = r.text(1);
        row.kiboDate = r.text(2);
        row.prnSu = r.value(3).toInt();
        row.chk = row.prnSu <= 0; // printed before: left for the user to choose
        rows.push_back(row);
    }
    return rows;
}

core::Outcome runKakunin(PdfRun& run, const std::vector<KakuninRow>& rows, PdfMethod method) {
    core::BusyPointer busy(run.prompter);
    QSet<QPair<QString, QString>> done;
    QStringList leftOut;
    int failures = 0;
    for (const KakuninRow& row : rows) {
        if (!row.chk || done.contains({row.poNo, row.poKbn}))
            continue;
        done.insert({row.poNo, row.poKbn});
        // The PDFs must show the current print rows: no rebuild, no PDFs and no print count.
        if (failed(maintenance::MP_CsvDataMake(run.prompter, run.work, row.poNo, row.poKbn)) ||
            failed(maintenance::MP_SkDataMake(run.prompter, run.work, row.poNo, row.poKbn))) {
            leftOut << row.poNo + QLatin1Char('-') + row.poKbn;
            ++failures;
            continue;
        }
        const core::Outcome pdfs = method == PdfMethod::PdfWriter
                                       ? MF_PdfWriterMake(run, row.poNo, row.poKbn)
                                       : MF_DistillerMake(run, row.poNo, row.poKbn);
        if (pdfs != core::Outcome::Done)
            ++failures; // the method has reported it; the print still counts
        try {
            run.work.execute(
                QStringLiteral(
                    "Update rcv_denheaddata Set PRN_SU = PRN_SU + 1 Where PO_NO = ? And PO_KBN = ? "),
                {row.poNo, row.poKbn});
        } catch (const core::Error& e) {
            run.prompter.message(e.text(), QStringLiteral("cmdOk_Click"), core::MsgIcon::Critical);
            ++failures;
        }
    }
    QString text = QStringLiteral("処理は終了しました。");
    if (!leftOut.isEmpty())
        text +=
            QStringLiteral(
                "\r\n\r\n印刷データを作成できなかったため、次のPOはPDFも印刷回数も更新していません。\r\n") +
            leftOut.join(QStringLiteral("\r\n"));
    run.prompter.message(text, QStringLiteral("完了"),
                         leftOut.isEmpty() ? core::MsgIcon::Information : core::MsgIcon::Exclamation);
    return failures == 0 ? core::Outcome::Done : core::Outcome::DoneWithFailures;
}

core::Outcome runConfirmDataCommand(core::JobContext& ctx, const QStringList& args) {
    PdfMethod method = PdfMethod::PdfWriter;
    bool all = false;
    QStringList pos;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--method") && i + 1 < args.size()) {
            const QString m = args[++i];
            if (m == QLatin1String("pdfwriter"))
                method = PdfMethod::PdfWriter;
            else if (m == QLatin1String("distiller"))
                method = PdfMethod::Distiller;
            else
                throw core::JobUsageError();
        } else if (args[i] == QLatin1String("--all")) {
            all = true;
        } else if (args[i].startsWith(QLatin1String("--"))) {
            throw core::JobUsageError();
        } else {
            pos << args[i];
        }
    }
    if (pos.size() % 2 != 0 || (all && !pos.isEmpty()))
        throw core::JobUsageError();
    if (!ctx.connections.ok(core::KindWork))
        return core::Outcome::Failed;
    std::vector<KakuninRow> rows;
    try {
        rows = loadKakuninList(core::cnWork());
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    QTextStream& out = core::jobOutput(ctx);
    if (!all && pos.isEmpty()) {
        for (const KakuninRow& r : rows)
            out << r.poNo << '\t' << r.poKbn << '\t' << r.kiboDate << '\t' << r.prnSu << '\t'
                << (r.chk ? 1 : 0) << Qt::endl;
        return core::Outcome::Done;
    }
    for (KakuninRow& r : rows) {
        bool wanted = all;
        for (int i = 0; i + 1 < pos.size() && !wanted; i += 2)
            wanted = r.poNo == pos[i] && r.poKbn == pos[i + 1];
        r.chk = wanted;
    }
    for (int i = 0; i + 1 < pos.size(); i += 2) {
        const bool listed = std::any_of(rows.begin(), rows.end(), [&](const KakuninRow& r) {
            return r.poNo == pos[i] && r.poKbn == pos[i + 1];
        });
        if (!listed) {
            ctx.prompter.message(
                QStringLiteral("確認データを作成できるPOではありません。(%1 %2)").arg(pos[i], pos[i + 1]),
                QStringLiteral("confirm-data"), core::MsgIcon::Critical);
            return core::Outcome::Failed;
        }
    }
    PdfRun run{ctx.prompter, core::cnWork(), ctx.session, ctx.printers, {}};
    const core::Outcome outcome = runKakunin(run, rows, method);
    QSet<QPair<QString, QString>> shown;
    for (const KakuninRow& r : rows)
        if (r.chk && !shown.contains({r.poNo, r.poKbn})) {
            shown.insert({r.poNo, r.poKbn});
            out << r.poNo << '\t' << r.poKbn << Qt::endl;
        }
    return outcome;
}

} // namespace kemnoa::output
