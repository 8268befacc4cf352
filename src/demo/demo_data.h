#pragma once
// The demo environment's data: the fixed company values and small, consistent masters for the four
// databases. The codes below are also those the demo order files use; docs/demo-data.md lists
// them with their meaning.

#include "platform/db/connection.h"

#include <QStringList>
#include <array>

namespace kemnoa::demo {

// Client-side codes that demo orders carry; they are those of the demo order-file generator
// (demo_codes.h and the client list of generated_orders.cpp) and must stay in step with it.
inline constexpr const char* DestinationCodes[] = {"C0101-01", "C0102-01", "C0103-01", "C0104-01",
                                                   "C0105-01"};                                // NOU_CD
inline constexpr const char* ClientTagCodes[] = {"CT-01", "CT-02", "CT-03", "CT-04", "CT-05"}; // TAFCD
inline constexpr const char* CompanyTagCodes[] = {"KT-1001", "KT-1002", "KT-2001", "KT-2002",
                                                  "KT-3001"}; // TAG_CD
inline constexpr const char* CareSymbolSets[] = {"E0001", "E0002", "E0003", "E0004",
                                                 "E0005", "E0006", "E0007", "E0008"}; // EHJ
inline constexpr const char* TermNumbers[] = {"F001", "F002", "F003", "F004", "F005",
                                              "F006", "F007", "F008", "F009", "F010"}; // FUKI1-8
inline constexpr const char* NameTypes[] = {"織ネーム", "プリントネーム", "下札", "品質表示",
                                            "サイズネーム"}; // NAME_NM
inline constexpr const char* MaterialCodes[] = {"W-001", "W-002", "P-101", "P-102",
                                                "T-201", "T-202", "Q-301", "S-401"};
// The material master: name type, material code, material name (kemmst_sizaicode).
struct Material {
    const char* nameType;
    const char* code;
    const char* name;
};
inline constexpr std::array<Material, 8> Materials{{
    {"織ネーム", "W-001", "朱子織ネーム 白"},
    {"織ネーム", "W-002", "タフタ織ネーム 黒"},
    {"プリントネーム", "P-101", "ポリエステルサテン"},
    {"プリントネーム", "P-102", "ナイロンタフタ"},
    {"下札", "T-201", "上質紙 220kg"},
    {"下札", "T-202", "コート紙 ミシン目入"},
    {"品質表示", "Q-301", "テトロンタフタ"},
    {"サイズネーム", "S-401", "サイズ織ネーム"},
}};
inline constexpr const char* Sizes[] = {"XS", "S", "M", "L", "LL", "3L", "F", "90", "100", "110", "120"};
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

} // namespace kemnoa::demo
