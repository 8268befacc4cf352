// The receipt-confirmation workbook of a PO: its production rows under the PO database's header,
// from the template 受領確認, saved in the PO's folder as PO number + ".xlsx". The workbook is built
// in memory and written under a temporary name that replaces the file only once it is complete; an
// earlier workbook of the PO is removed first, so a failed run never leaves a stale one to be packed.

#include "core/program_folder.h"
#include "output/package_run.h"
#include "output/po_list_sheet.h"
#include "output/sheet_common.h"

#include <QFile>

namespace kemnoa::output {

core::Outcome MP_OrderSheetMake(core::Prompter& prompter, db::Connection& work, db::Connection& po,
                                const QString& poNo, const QString& poKbn, const QString& folder) {
    try {
        if (!isPlainFileName(poNo))
            throw core::Error(QStringLiteral("PO番号 \"") + poNo +
                                  QStringLiteral("\" はファイル名に使えません"),
                              core::errnum::General);
        const PoListData data = readPoList(work, po, poNo, poKbn);
        if (data.lines.empty())
            return core::Outcome::Done;
        const QString path = core::joinPath(folder, poNo + QStringLiteral(".xlsx"));
        if (QFile::exists(path) && !QFile::remove(path))
            throw core::Error(QStringLiteral("ファイル \"") + path + QStringLiteral("\" を削除できません"),
                              core::errnum::PermissionDenied);
        xlsx::Workbook book = openTemplate(core::programFolder(), QStringLiteral("受領確認.xlsx"));
        xlsx::Sheet sheet = book.sheet(1);
        using A = xlsx::HorizontalAlignment;
        fillPoList(sheet, data, poNo,
                   {{"B", "D", {QStringLiteral("PO_GYOU")}, "@", A::Center},
                    {"E", "J", {QStringLiteral("IRAI_NO")}, "@", std::nullopt},
                    {"K", "P", {QStringLiteral("ORD_NO")}, "@", std::nullopt},
                    {"Q", "V", {QStringLiteral("HINBAN")}, "@", std::nullopt},
                    {"W", "AR", {QStringLiteral("SHO_NM1"), QStringLiteral("SHO_NM2")}, "@", std::nullopt},
                    {"AS", "AX", {QStringLiteral("SU")}, "#,##0_ ", A::Right}});
        book.save(path); // written to a temporary file, renamed over path when complete
        return core::Outcome::Done;
    } catch (const core::Error& e) {
        return reportFailure(prompter, QStringLiteral("MP_OrderSheetMake"), e);
    }
}

} // namespace kemnoa::output
