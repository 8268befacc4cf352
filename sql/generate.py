#!/usr/bin/env python3
"""Writes the table definitions of the four databases for SQLite, PostgreSQL and SQL Server, and the
program's table catalogue (src/platform/db/catalogue_tables.cpp).

The definitions below are the one source; run `sql/generate.py` after changing them and commit the
generated files (sql/<dialect>/<database>.sql, which the program carries as resources, and the
catalogue). `sql/generate.py --out DIR` writes the same files under DIR instead of the source tree.
"""
import argparse
import os

# Column types: ("T", n) text of up to n characters, "INT", "BIGINT", ("NUM", p, s), "ID" identity key.
T = lambda n=255: ("T", n)
INT = "INT"
BIGINT = "BIGINT"
NUM = lambda p=18, s=4: ("NUM", p, s)
ID = "ID"
LONG = T(4000)


def cols(names, typ):
    return [(n, typ) for n in names]


def ta_line_columns():
    c = cols(["TACD", "TAID", "TAHIN", "TAINO", "TAFCD", "TASEQ", "TASNO", "TASFL", "TACLT", "TARCD",
              "TABA1", "TABA2", "TAMAK", "TAPHN"], T())
    c += cols(["TALCD", "TANM1", "TANM2", "TANM3"], T())
    c += cols(["TAFM1", "TAHN1", "TATO1", "TAFM2", "TAHN2", "TATO2", "TAFM3", "TAHN3", "TATO3"], T())
    for i in range(1, 13):
        c += cols([f"TAPH{i}", f"TAPR{i}", f"TAPP{i}"], T())
    c += cols(["TASIZ", "TASTF", "TASTH", "TASTO", "TALHN", "TALSZ", "TALCL", "TALMK", "TALBK", "TALCN",
               "TALHK", "TALSU"], T())
    c += cols(["TACYMD", "TACTIM", "TACWS", "TAUYMD", "TAUTIM", "TAUWS", "TACDYD", "TACDTM", "TACDWS",
               "TAUDYM", "TAUDTM", "TAUDWS"], T())
    c += cols(["TAMEN", "TACM", "TAFKB"], T())
    c += [("ORD_NO", INT), ("GYOU", INT), ("EHJ", T()), ("SU", INT)]
    c += cols([f"FUKI{i}" for i in range(1, 9)], T())
    assert len(c) == 102
    return c


def csvdata_columns():
    c = [("PO_NO", T(50)), ("PO_KBN", T(10)), ("PO_GYOU", INT), ("ORD_NO", INT), ("GYOU", INT),
         ("HINSYU_CD", T(10)), ("LAYOUT", T(50)), ("HINBAN", T()), ("SHO_CD", T(50)), ("SHO_NM1", T()),
         ("SHO_NM2", T()), ("COLOR_NO", T(50)), ("COLOR_NM", T()), ("SORT_LV", INT), ("SIZE_VALUE", T(50)),
         ("CAPTION_SIZE", T()), ("SU", INT), ("GENSAN", T()), ("KEM_PRICE1", NUM()), ("KEM_PRICE2", NUM()),
         ("JAN_CD", T(50)), ("TAG_CD", T()), ("TANM1", T()), ("TANM2", T()), ("TANM3", T())]
    for i in range(1, 13):
        c += [(f"QUL{i}", T()), (f"PER{i}", T(50))]
    c += [("EHJ_NO", T(50))] + cols([f"EHJ{i}" for i in range(1, 7)], T(50)) + [("EHJ_HENKAN", T())]
    c += cols([f"FUKI{i}" for i in range(1, 9)], T(1000))
    c += [("IRAI_NO", T()), ("NOU_CD", T()), ("NOU_NM", T()), ("KIBO_DATE", T()), ("ORD_DATE", INT)]
    c += cols(["HYOJI1", "HYOJI2", "HYOJI3", "SIZE_NOTE1", "SIZE_NOTE2", "SIZE_NOTE3", "PRINT_HINBAN",
               "MAKER_NM", "LOT_NOTE"], T())
    c += [("SH_PRICE", NUM())]
    assert len(c) == 80, len(c)
    c += [("auto_id", ID)]
    return c


WORK = [
    ("kem_setting", [("検索条件", T(50)), ("検索値", T())], ["検索条件"], []),
    ("rcv_denheaddata",
     [("ORD_NO", INT), ("REC_TYPE", T()), ("REC_KBN", T()), ("IRAI_NO", T()), ("ORD_DATE", INT),
      ("KIBO_DATE", T())]
     + cols(["SIR_CD", "SIR_NM", "SIR_BUSHO_NM", "SIR_TANTO_NM", "SIR_POST_NO", "SIR_ADR1", "SIR_ADR2",
             "SIR_TEL"], T())
     + cols(["NOU_CD", "NOU_NM", "NOU_BUSHO_NM", "NOU_TANTO_NM", "NOU_POST_NO", "NOU_ADR1", "NOU_ADR2",
             "NOU_TEL"], T())
     + [("KESSAI", T()), ("SHKA_PLACE", T()), ("ENTRY_DATE", T()), ("UPDATE_DATE", T()), ("PO_NO", T(50)),
        ("PO_KBN", T(10)), ("ERR_SU", INT), ("PRN_SU", INT), ("SEND_FLG", T(10)), ("ORD_SAKI_CD", T()),
        ("ORD_SAKI_NM", T())]
     + cols(["BIKO1", "BIKO2", "BIKO3", "BIKO4", "BIKO5"], LONG),
     ["ORD_NO"], [("ix_rcv_denheaddata_po", ["PO_NO", "PO_KBN"])]),
    ("rcv_posdata", ta_line_columns(), [], [("ix_rcv_posdata_ord", ["ORD_NO", "GYOU"]),
                                            ("ix_rcv_posdata_tafcd", ["TAFCD"])]),
    ("rcv_cardata", ta_line_columns(), [], [("ix_rcv_cardata_ord", ["ORD_NO", "GYOU"])]),
    ("rcv_addfukidata", [("ORD_NO", INT), ("GYOU", INT), ("FUKI_SU", INT)]
     + cols([f"FUKI{i}" for i in range(1, 9)], T()), [], [("ix_rcv_addfukidata_ord", ["ORD_NO", "GYOU"])]),
    ("rcv_fuzokudata",
     [("ORD_NO", INT), ("GYOU", INT), ("NAME_NM", T()), ("SIZAI_CD", T()), ("SIZAI_NM", T()),
      ("TITLEKEI", T()), ("SURYOKEI", INT), ("TITLEMUJI", T()), ("SURYOMUJI", INT)]
     + [c for i in range(1, 11) for c in ((f"TITLE{i}", T()), (f"SURYO{i}", INT))],
     [], [("ix_rcv_fuzokudata_ord", ["ORD_NO", "GYOU"])]),
    ("tagcd_henkan", [("TAFCD", T()), ("TAG_CD", T())], ["TAFCD"], []),
    ("rcv_errdata", [("ORD_NO", INT), ("GYOU", INT), ("ERR_TITLE", T()), ("ERR_VALUE", LONG),
                     ("ERR_MESSAGE", LONG)], [], [("ix_rcv_errdata_ord", ["ORD_NO", "GYOU"])]),
    ("rcv_csvdata", csvdata_columns(), [], [("ix_rcv_csvdata_po", ["PO_NO", "PO_KBN", "PO_GYOU"])]),
    ("rcv_skdata",
     [("PO_NO", T(50)), ("PO_KBN", T(10)), ("PO_GYOU", INT), ("ORD_NO", INT), ("GYOU", INT), ("IRAI_NO", T()),
      ("NOU_CD", T()), ("NOU_NM", T()), ("HINSYU_CD", T(10)), ("LAYOUT", T(50)), ("HINBAN", T()),
      ("SHO_CD", T(50)), ("SHO_NM1", T()), ("SHO_NM2", T()), ("SU", INT), ("SH_PRICE", NUM()),
      ("KEM_PRICE1", NUM()), ("KEM_PRICE2", NUM())],
     [], [("ix_rcv_skdata_po", ["PO_NO", "PO_KBN", "PO_GYOU"])]),
    ("rrk_ehj", [("ID", ID), ("EHJ_NO", T())] + cols([f"EHJ{i}" for i in range(1, 7)], T())
     + cols([f"B0{i}" for i in range(1, 6)], T()) + [("UPD", T()), ("SYORI_FLG", T()), ("KAKUNIN_FLG", T(10)),
                                                    ("MEMO", (LONG, "''"))], [],
     [("ix_rrk_ehj_kakunin", ["KAKUNIN_FLG", "ID"])]),
    ("rrk_fuki", [("ID", ID), ("FUKI_NO", T()), ("FUKI_NAIYO", LONG)]
     + cols([f"B0{i}" for i in range(1, 6)], T()) + [("UPD", T()), ("SYORI_FLG", T()), ("KAKUNIN_FLG", T(10)),
                                                    ("MEMO", (LONG, "''"))], [],
     [("ix_rrk_fuki_kakunin", ["KAKUNIN_FLG", "ID"])]),
    ("kemmst_ehj", [("EHJ_NO", T())] + cols([f"EHJ{i}" for i in range(1, 7)], T(50))
     + cols([f"B0{i}" for i in range(1, 6)], T()) + [("UPD", T(50)), ("EHJ_HENKAN", T()), ("SYORI_FLG", T(10))],
     ["EHJ_NO"], []),
    ("kemmst_fuki", [("FUKI_NO", T()), ("FUKI_NAIYO", LONG)] + cols([f"B0{i}" for i in range(1, 6)], T())
     + [("UPD", T(50)), ("SYORI_FLG", T(10))], ["FUKI_NO"], []),
    ("kemmst_namecode", [("name_nm", T())], [], []),
    ("kemmst_sizaicode", [("name_nm", T()), ("sizai_cd", T()), ("sizai_nm", T())], [], []),
    ("kemmst_size", [("size_value", T()), ("sort_lv", INT)], [], []),
    # The print layout and the office product of a hang-tag or care-label line, by the line's kind and
    # tag code (TAFCD as stored); a row with an empty TAG_CD is the kind's default (docs/po-rows.md).
    ("kem_label_layout", [("HINSYU_CD", T(10)), ("TAG_CD", T(50)), ("LAYOUT", T(50)), ("SHO_CD", T(50))],
     ["HINSYU_CD", "TAG_CD"], []),
]

PO_H = [("PO番号", T(50)), ("PO発行日", T(10)), ("発注区分", T(10)), ("修正回数", T(10)), ("客先契約番号", T()),
        ("KP番号", T()), ("希望納期", T(10))] \
    + cols(["発注先CD", "発注先名", "発注先住所1", "発注先住所2", "発注先TEL番号", "発注先FAX番号", "発注先MAIL",
            "発注先部門", "発注先担当者名", "発注先責任者名"], T()) \
    + cols(["発注元CD", "発注元名", "発注元住所1", "発注元住所2", "発注元TEL番号", "発注元FAX番号", "発注元MAIL",
            "発注元部門", "発注元担当者CD", "発注元担当者名", "発注元責任者名"], T()) \
    + cols(["得意先CD", "得意先名"], T()) \
    + cols(["請求先CD", "請求先名", "請求先住所1", "請求先住所2", "請求先TEL番号", "請求先FAX番号", "請求先部門",
            "請求先担当者名"], T()) \
    + [("納品先CD", INT)] \
    + cols(["納品先名", "納品先住所1", "納品先住所2", "納品先TEL番号", "納品先FAX番号", "納品先部門", "納品先担当者名",
            "納品先名中文", "納品先住所1中文", "納品先住所2中文"], T()) \
    + cols(["通貨区分", "建値区分", "販売形態"], T()) + [("運賃請求", INT)] + cols(["納品形態", "運賃形態"], T()) \
    + [("ロス請求の有無", INT), ("ロス率", NUM(9, 4))] + cols(["出荷方法", "商品集積地"], T()) \
    + cols([f"決済経路{i}" for i in range(1, 6)], T()) + cols([f"備考{i}" for i in range(1, 6)], LONG) \
    + [("ケースマーク", LONG)]
assert len(PO_H) == 70, len(PO_H)
PO_M = [("PO番号", T(50)), ("PO行", INT), ("商品CD", T(50)), ("客先商品CD", T(50)), ("品名1", T()), ("品名2", T()),
        ("数量", INT), ("下代", NUM()), ("上代", NUM()), ("金額", BIGINT), ("備考1", T()), ("備考2", T()),
        ("備考3", T())]
assert len(PO_M) == 13

PO = [
    ("TBL_PO_H", PO_H, ["PO番号"], []),
    ("TBL_PO_M", PO_M, ["PO番号", "PO行"], []),
    ("TBL_GK_H", PO_H, ["PO番号"], []),
    ("TBL_GK_M", PO_M, ["PO番号", "PO行"], []),
    ("MST_VORLIK_C", cols(["会社CD", "会社名", "会社住所1", "会社住所2", "会社TEL番号", "会社FAX番号", "会社MAIL",
                           "会社部門", "会社担当者"], T()), ["会社CD"], []),
    ("TABLE_NOUHIN_INFO",
     [("SEICD", T(50)), ("TOKCD", T(50)), ("NOUCD", INT), ("HACYUGAISYACD", T(50)), ("TUUKANM", T()),
      ("TATENENM", T()), ("HANBAINM", T()), ("UNCHINKBN", INT), ("NOUHINNM", T()), ("UNCHINKAKUNINNM", T()),
      ("LOSSSEIKYUKBN", INT), ("LOSSPAR", NUM(9, 4)), ("SYUKKANM", T()), ("SYUSEKINM", T())]
     + cols([f"KESSAIKEIRO{i}" for i in range(1, 6)], T()) + cols([f"BIKO{i}NM" for i in range(1, 6)], T())
     + [("CASEMARK", LONG)],
     ["SEICD", "TOKCD", "NOUCD"], []),
    ("MST_NOUHIN",
     [("NOUCD", INT), ("NOUKYAKU_CD", T(50)), ("TOKCD", T(50))]
     + cols(["NOU_NM", "NOU1_AD", "NOU2_AD", "NOU_TEL", "NOU_FAX", "NOU_BUNM", "NOU_TNM", "NOUCYU_NM",
             "NOUCYU1_AD", "NOUCYU2_AD"], T()),
     ["NOUCD"], [("ix_mst_nouhin_kyaku", ["NOUKYAKU_CD", "TOKCD"])]),
    ("HcyCd_Find", [("NOUKYAKU_CD", T(50)), ("TOKCD", T(50)), ("SEICD", T(50)), ("HACYUGAISYACD", T(50))],
     ["NOUKYAKU_CD", "TOKCD", "SEICD"], []),
    # The number procedures GET_PO_NUMBER and GET_GK_NUMBER (docs/po-numbers.md): the last number of
    # each series where the database has no sequences, and every number issued.
    ("PO_NUMBER_COUNTER", [("SERIES", T(10)), ("LAST_NO", BIGINT)], ["SERIES"], []),
    ("PO_NUMBER_LOG", [("PO_NO", T(20)), ("SERIES", T(10)), ("KUBUN", T(50)), ("ISSUED_AT", T(30))], ["PO_NO"],
     []),
]

# Sequences per database, created where the dialect has them (PostgreSQL, SQL Server).
SEQUENCES = {"po": ["po_number_po_seq", "po_number_gk_seq"]}

SK_KEY = [("PO", T(50)), ("SKNO", T(50)), ("NO", INT)]
SK = [
    ("TBL_H", SK_KEY + cols(["発注番号", "発注日", "希望納期", "品番", "生産場所", "工程", "ブランド", "品種", "品名"], T()),
     [], [("ix_tbl_h_po", ["PO", "NO"])]),
    ("TBL_NJ", SK_KEY + cols(["得意先CD", "得意先名", "発注元CD", "発注元名", "発注先CD", "発注先名", "請求先CD",
                              "請求先名", "納品先CD", "納品先名"], T()), [], [("ix_tbl_nj_po", ["PO", "NO"])]),
    ("TBL_QUA", SK_KEY + [("LINE", INT), ("内容", T(1000))], [], [("ix_tbl_qua_po", ["PO", "NO", "LINE"])]),
    ("TBL_SKU", SK_KEY + [("LINE", INT), ("COLS", INT)] + cols([f"F{i}" for i in range(1, 23)], T()), [],
     [("ix_tbl_sku_po", ["PO", "NO", "LINE"])]),
    ("TBL_TOTAL", SK_KEY + cols(["数量", "見込みロス", "梱包状態"], T()), [], [("ix_tbl_total_po", ["PO", "NO"])]),
    ("TBL_SJ", SK_KEY + [("LINE", INT), ("内容", T(1000))], [], []),
    ("TBL_YJ", SK_KEY + [("LINE", INT), ("内容", T(1000))], [], []),
]

OFFICE = [
    ("FSHOWK", [("SHO011", T(50)), ("SHO032", T()), ("SHO033", T())], ["SHO011"], []),
    ("FSKNPF", [("SKN011", T(50)), ("SKN031_1", T(50)), ("SKN031_9", NUM()), ("SKN031_10", NUM())], ["SKN011"], []),
    ("FSHJWK1", [("SHJ011", T(50)), ("SHJ012", T(10)), ("SHJ032", NUM())], ["SHJ011", "SHJ012"], []),
]

DATABASES = {"work": WORK, "po": PO, "sk": SK, "office": OFFICE}

TITLES = {
    "work": "Work database: received orders, generated rows, staging, masters, fixed values",
    "po": "PO database: PO headers and lines, partners, trading terms, destinations, number series",
    "sk": "Production-control database: jobs, parties, composition, size grid, totals",
    "office": "Office-computer database: products, materials and prices",
}


def type_sql(typ, dialect):
    default = None
    if isinstance(typ, tuple) and len(typ) == 2 and isinstance(typ[0], tuple):
        typ, default = typ
    if typ == INT:
        s = "INT" if dialect == "sqlserver" else "INTEGER"
    elif typ == BIGINT:
        s = "BIGINT"
    elif typ == ID:
        s = {"sqlite": "INTEGER PRIMARY KEY AUTOINCREMENT",
             "postgresql": "INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY",
             "sqlserver": "INT IDENTITY(1,1) PRIMARY KEY"}[dialect]
    elif typ[0] == "T":
        s = f"VARCHAR({typ[1]})"
    elif typ[0] == "NUM":
        s = f"{'DECIMAL' if dialect == 'sqlserver' else 'NUMERIC'}({typ[1]},{typ[2]})"
    else:
        raise ValueError(typ)
    if default is not None:
        s += f" DEFAULT {default}"
    return s


def write(root, dialect, kind, tables):
    schema = "dbo." if kind == "office" and dialect != "sqlite" else ""
    out = [f"-- {TITLES[kind]}.", "-- Generated by sql/generate.py; edit the definitions there.", ""]
    if dialect == "sqlserver":
        out.insert(2, "-- Run in a database whose default collation is Japanese (code page 932), e.g. Japanese_CI_AS.")
    if schema and dialect == "postgresql":
        out += ["CREATE SCHEMA IF NOT EXISTS dbo;", ""]
    for name, columns, pk, indexes in tables:
        lines = [f"    {c} {type_sql(t, dialect)}" for c, t in columns]
        if pk:
            lines.append(f"    PRIMARY KEY ({', '.join(pk)})")
        body = ",\n".join(lines)
        if dialect == "sqlserver":
            out.append(f"IF OBJECT_ID(N'dbo.{name}', N'U') IS NULL\nCREATE TABLE dbo.{name} (\n{body}\n);\nGO")
        else:
            out.append(f"CREATE TABLE IF NOT EXISTS {schema}{name} (\n{body}\n);")
        for ix, ixcols in indexes:
            if dialect == "sqlserver":
                out.append(f"IF NOT EXISTS (SELECT * FROM sys.indexes WHERE name = N'{ix}')\n"
                           f"CREATE INDEX {ix} ON dbo.{name} ({', '.join(ixcols)});\nGO")
            else:
                out.append(f"CREATE INDEX IF NOT EXISTS {ix} ON {schema}{name} ({', '.join(ixcols)});")
        out.append("")
    for seq in SEQUENCES.get(kind, []) if dialect != "sqlite" else []:
        if dialect == "sqlserver":
            out.append(f"IF OBJECT_ID(N'dbo.{seq}', N'SO') IS NULL\nCREATE SEQUENCE dbo.{seq} AS BIGINT START WITH 1 "
                       f"INCREMENT BY 1 NO CACHE;\nGO")
        else:
            out.append(f"CREATE SEQUENCE IF NOT EXISTS {seq} AS BIGINT START WITH 1 INCREMENT BY 1;")
        out.append("")
    save(root, os.path.join("sql", dialect, f"{kind}.sql"), "\n".join(out))


def save(root, relative, text):
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


DATABASE_KINDS = {"work": "Work", "office": "Office", "po": "Po", "sk": "Sk"}


def catalogue_column(name, typ, key):
    """One CatalogueColumn initializer: name, type, size (characters or precision), scale, key, default."""
    default = None
    if isinstance(typ, tuple) and len(typ) == 2 and isinstance(typ[0], tuple):
        typ, default = typ
    if typ == INT:
        kind, size, scale = "Integer", 0, 0
    elif typ == BIGINT:
        kind, size, scale = "BigInt", 0, 0
    elif typ == ID:
        kind, size, scale, key = "Identity", 0, 0, True
    elif typ[0] == "T":
        kind, size, scale = "Text", typ[1], 0
    elif typ[0] == "NUM":
        kind, size, scale = "Decimal", typ[1], typ[2]
    else:
        raise ValueError(typ)
    default_text = "nullptr" if default is None else '"' + default.replace("\\", "\\\\").replace('"', '\\"') + '"'
    return (f'{{"{name}", SqlType::{kind}, {size}, {scale}, {"true" if key else "false"}, '
            f'{default_text}}}')


def write_catalogue(root):
    out = ["// The table catalogue: every table of the four databases with its columns in order.",
           "// Generated by sql/generate.py; edit the definitions there.", "",
           '#include "platform/db/catalogue.h"', "", "namespace kemnoa::db {", "", "namespace {", ""]
    entries = []
    n = 0
    for kind, tables in DATABASES.items():
        for name, columns, pk, _ in tables:
            n += 1
            array = f"k{n:02d}_{name}"
            out.append(f"// {kind}.{name}")
            out.append(f"constexpr CatalogueColumn {array}[] = {{")
            out += [f"    {catalogue_column(c, t, c in pk)}," for c, t in columns]
            out += ["};", ""]
            entries.append(f'    {{DatabaseKind::{DATABASE_KINDS[kind]}, "{name}", {array}}},')
    out += ["constexpr CatalogueTable kTables[] = {"] + entries + ["};", "", "} // namespace", "",
            "std::span<const CatalogueTable> catalogue() {", "    return kTables;", "}", "",
            "} // namespace kemnoa::db", ""]
    save(root, os.path.join("src", "platform", "db", "catalogue_tables.cpp"), "\n".join(out))


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", help="write under this folder instead of the source tree")
    args = parser.parse_args()
    root = args.out or os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    for dialect in ("sqlite", "postgresql", "sqlserver"):
        for kind, tables in DATABASES.items():
            write(root, dialect, kind, tables)
    write_catalogue(root)
