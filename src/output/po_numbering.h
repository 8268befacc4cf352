#pragma once
// PO numbering (menu 203, screen frmOrd_PoNoGet): the list of orders ready for a number, the warning
// about request numbers that several of them share, the check pass (the master check of every
// selected order) and the numbering pass (consecutive selected orders with equal grouping values
// share one PO or GK number from the PO database's number procedures).

#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QString>
#include <array>
#include <vector>

namespace kemnoa::output {

// One row of the list, every value as text (Null as empty text), and its selection mark.
struct PoNoRow {
    QString ordNo, iraiNo, nouCd, nouNm, sirCd, kessai, shkaPlace, ordDate, kiboDate, biko2;
    bool chk = true;

    // KIBO_DATE, NOU_CD, KESSAI, SIR_CD, BIKO2, SHKA_PLACE: orders that share them share a number.
    std::array<QString, 6> groupKey() const { return {kiboDate, nouCd, kessai, sirCd, biko2, shkaPlace}; }
    // Settled in China: a GK number and PO kind '1'.
    bool gk() const { return kessai == QStringLiteral("中国決済"); }
};

inline constexpr int kPoNoListLimit = 5000;

// The orders that are unsent, error-free and without a PO number, in list order, each marked (at
// most kPoNoListLimit). Throws core::Error.
std::vector<PoNoRow> loadPoNoList(db::Connection& work);

// One warning per request number that several listed orders share. Throws core::Error.
void warnDuplicateRequests(core::Prompter& prompter, db::Connection& work);

// A new number of the series for the destination, or the empty text after a message saying why
// none was issued (no ordering-company code for the destination, a failing procedure). The customer
// and billing-party codes are the session's fixed values 得意先CD and 請求先CD.
QString MF_GetPoNumber(core::Prompter& prompter, db::Connection& po, const QString& nouCd);
QString MF_GetGkNumber(core::Prompter& prompter, db::Connection& po, const QString& nouCd);

struct NumberingResult {
    int numbered = 0;     // orders that received their number in this run
    int unnumbered = 0;   // orders whose group got no number
    int skipped = 0;      // orders numbered or sent meanwhile (another workstation), left as they are
    bool stopped = false; // the check pass stopped the run; nothing was numbered
};

// The button 作成開始: the check pass and the numbering pass over the marked rows, then the final
// message. Failed when the check pass stopped the run; DoneWithFailures when orders stayed unnumbered.
core::Outcome runPoNumbering(core::Prompter& prompter, db::Connection& work, db::Connection& po,
                             const std::vector<PoNoRow>& rows, NumberingResult* result = nullptr);

} // namespace kemnoa::output
