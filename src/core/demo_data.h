#pragma once
// The demo environment's data: the fixed company values and small, consistent masters for the four
// databases. The codes below are also those the demo order files use; docs/demo-data.md lists
// them with their meaning.

#include "platform/db/connection.h"

#include <QStringList>

namespace kemnoa::core::demo {

// Client-side codes that demo orders carry.
inline constexpr const char* DestinationCodes[] = {"N001", "N002", "N003"};                  // NOU_CD
inline constexpr const char* ClientTagCodes[] = {"CL-TAG-01", "CL-TAG-02", "CL-TAG-03"};     // TAFCD
inline constexpr const char* CompanyTagCodes[] = {"KT-1001", "KT-1002", "KT-2001"};          // TAG_CD
inline constexpr const char* CareSymbolSets[] = {"E0001", "E0002", "E0003", "E0004"};        // EHJ
inline constexpr const char* TermNumbers[] = {"F0001", "F0002", "F0003", "F0004", "F0005"};  // FUKI1-8
inline constexpr const char* NameTypes[] = {"下札", "洗濯ネーム", "織ネーム", "ピスネーム"}; // NAME_NM
inline constexpr const char* MaterialCodes[] = {"T-100", "T-110", "C-200", "C-210", "W-300", "P-400"};
inline constexpr const char* Sizes[] = {"S", "M", "L", "LL", "3L", "F"};
inline constexpr const char* ProductCodes[] = {"8710001", "8710002", "8710003",
                                               "8710004", "8710005", "8710006"};
// The fixed company codes (kem_setting).
inline constexpr const char* BillingPartyCode = "S0001"; // 請求先CD
inline constexpr const char* CustomerCode = "T0001";     // 得意先CD

struct SeedResult {
    QStringList filled;  // tables that were empty and got the demo rows
    QStringList skipped; // tables that already held rows, left as they were
};

// Fills every empty demo table of the database with its demo rows, in one transaction.
SeedResult seed(db::Connection& connection, db::DatabaseKind kind);

} // namespace kemnoa::core::demo
