#pragma once
// The fixed reference values that generated order files use and that the demo masters must hold, so
// that generated orders pass the master check: care-symbol sets (kemmst_ehj), terms (kemmst_fuki),
// name types (kemmst_namecode), materials (kemmst_sizaicode), sizes (kemmst_size) and the tag-code
// conversion (tagcd_henkan). Texts are UTF-8.

#include <array>

namespace kemnoa::orderfile::demo {

// A care-symbol set: its number and six symbol codes (empty text for a free position), each code
// one of the 42 palette codes of the care-symbol master.
struct CareSymbolSet {
    const char* number;
    std::array<const char*, 6> codes;
};
inline constexpr std::array<CareSymbolSet, 8> kCareSymbolSets{{
    {"E0001", {"1030", "2020", "3012", "4010", "5011", "6020"}},
    {"E0002", {"1040", "2010", "3022", "4020", "5020", "6010"}},
    {"E0003", {"1050", "2020", "3031", "4030", "5010", ""}},
    {"E0004", {"1060", "2010", "3040", "4010", "", ""}},
    {"E0005", {"1010", "2020", "3011", "4020", "5011", "6030"}},
    {"E0006", {"1070", "2010", "3020", "4010", "5020", "6040"}},
    {"E0007", {"1031", "2020", "3013", "4030", "6020", ""}},
    {"E0008", {"1041", "2010", "3023", "4020", "5010", "6010"}},
}};

// Terms: number and wording.
struct Term {
    const char* number;
    const char* wording;
};
inline constexpr std::array<Term, 10> kTerms{{
    {"F001", "洗濯ネットを使用してください"},
    {"F002", "裏返して洗ってください"},
    {"F003", "濃色のものは色落ちすることがあります"},
    {"F004", "他のものと分けて洗ってください"},
    {"F005", "漂白剤は使用しないでください"},
    {"F006", "タンブル乾燥はお避けください"},
    {"F007", "アイロンは当て布をしてください"},
    {"F008", "形を整えて陰干ししてください"},
    {"F009", "素材の特性上、多少縮むことがあります"},
    {"F010", "プリント部分にアイロンを当てないでください"},
}};

// Name types.
inline constexpr std::array<const char*, 5> kNameTypes{"織ネーム", "プリントネーム", "下札", "品質表示",
                                                       "サイズネーム"};

// Materials: name type, material code, material name.
struct Material {
    const char* nameType;
    const char* code;
    const char* name;
};
inline constexpr std::array<Material, 8> kMaterials{{
    {"織ネーム", "W-001", "朱子織ネーム 白"},
    {"織ネーム", "W-002", "タフタ織ネーム 黒"},
    {"プリントネーム", "P-101", "ポリエステルサテン"},
    {"プリントネーム", "P-102", "ナイロンタフタ"},
    {"下札", "T-201", "上質紙 220kg"},
    {"下札", "T-202", "コート紙 ミシン目入"},
    {"品質表示", "Q-301", "テトロンタフタ"},
    {"サイズネーム", "S-401", "サイズ織ネーム"},
}};

// Sizes: size symbol and sort order.
struct Size {
    const char* value;
    int sortLevel;
};
inline constexpr std::array<Size, 11> kSizes{{
    {"XS", 10},
    {"S", 20},
    {"M", 30},
    {"L", 40},
    {"LL", 50},
    {"3L", 60},
    {"F", 70},
    {"90", 110},
    {"100", 120},
    {"110", 130},
    {"120", 140},
}};

// Tag codes: the client's code (TAFCD in order lines) and the company's (tagcd_henkan.TAG_CD).
struct TagCode {
    const char* clientCode;
    const char* companyCode;
};
inline constexpr std::array<TagCode, 5> kTagCodes{{
    {"CT-01", "KT-1001"},
    {"CT-02", "KT-1002"},
    {"CT-03", "KT-2001"},
    {"CT-04", "KT-2002"},
    {"CT-05", "KT-3001"},
}};
// A client tag code with no conversion row, which must stay as sent.
inline constexpr const char* kUnmappedTagCode = "CT-99";

} // namespace kemnoa::orderfile::demo
