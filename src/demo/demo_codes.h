#pragma once
// The reference values generated order files use, taken from the demo masters (demo_data.h and
// demo_data.cpp, listed in docs/demo-data.md), so that imported demo orders pass the master
// check: care-symbol sets (kemmst_ehj), terms (kemmst_fuki), name types and materials
// (kemmst_namecode, kemmst_sizaicode), sizes (kemmst_size), destinations and the tag-code
// conversion (tagcd_henkan). Codes and materials are the masters' own; the contents of the sets
// and the wordings repeat demo_data.cpp, and imported demo orders are checked to pass.
// Texts are UTF-8.

#include "demo/demo_data.h"

#include <array>

namespace kemnoa::demo {

// A care-symbol set: its number and its six symbol codes (empty text for a free position).
struct CareSymbolSet {
    const char* number;
    std::array<const char*, 6> codes;
};
inline constexpr std::array<CareSymbolSet, 4> kCareSymbolSets{{
    {CareSymbolSets[0], {"1030", "2010", "3011", "4010", "5010", "6010"}},
    {CareSymbolSets[1], {"1050", "2020", "3021", "4020", "5011", ""}},
    {CareSymbolSets[2], {"1071", "2020", "3040", "4030", "", ""}},
    {CareSymbolSets[3], {"1041", "2010", "3012", "5020", "6030", ""}},
}};

struct Term {
    const char* number;
    const char* wording;
};
inline constexpr std::array<Term, 5> kTerms{{
    {TermNumbers[0], "洗濯ネットを使用してください"},
    {TermNumbers[1], "濃色のものは色落ちすることがありますので、他のものと分けて洗ってください"},
    {TermNumbers[2], "タンブル乾燥はお避けください"},
    {TermNumbers[3], "中性洗剤を使用してください"},
    {TermNumbers[4], "裏返しにして洗ってください"},
}};

// Materials: the demo material master itself, so demo orders pass the master check.
inline constexpr const auto& kMaterials = Materials;

// Sizes: size symbol and sort order.
struct Size {
    const char* value;
    int sortLevel;
};
inline constexpr std::array<Size, 6> kSizes{{
    {Sizes[0], 10},
    {Sizes[1], 20},
    {Sizes[2], 30},
    {Sizes[3], 40},
    {Sizes[4], 50},
    {Sizes[5], 90},
}};

// Delivery destinations (NOU_CD) and their names.
struct Destination {
    const char* code;
    const char* name;
};
inline constexpr std::array<Destination, 3> kDestinations{{
    {DestinationCodes[0], "ケムノア東京物流センター"},
    {DestinationCodes[1], "ケムノア大阪倉庫"},
    {DestinationCodes[2], "ケムノア上海配送センター"},
}};

// Tag codes: the client's code (TAFCD in order lines) and the company's (tagcd_henkan.TAG_CD).
struct TagCode {
    const char* clientCode;
    const char* companyCode;
};
inline constexpr std::array<TagCode, 3> kTagCodes{{
    {ClientTagCodes[0], CompanyTagCodes[0]},
    {ClientTagCodes[1], CompanyTagCodes[1]},
    {ClientTagCodes[2], CompanyTagCodes[2]},
}};
// A client tag code with no conversion row, which must stay as sent.
inline constexpr const char* kUnmappedTagCode = "CL-TAG-99";

} // namespace kemnoa::demo
