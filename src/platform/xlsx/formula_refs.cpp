// Sheet names inside formulas of defined names: rename, delete, and simple area parsing.

#include "platform/xlsx/workbook_data.h"

#include <QString>

namespace kemnoa::xlsx {
namespace {

bool sameSheet(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

bool isNameChar(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '.' || c >= 0x80;
}

// Calls f(start, end, sheetName) for every "Sheet!" or "'Sheet'!" prefix in the formula.
template <class F> void forEachSheetPrefix(const std::string& f, F visit) {
    size_t i = 0;
    while (i < f.size()) {
        const char c = f[i];
        if (c == '"') { // a string literal
            ++i;
            while (i < f.size()) {
                if (f[i] == '"' && i + 1 < f.size() && f[i + 1] == '"')
                    i += 2;
                else if (f[i] == '"')
                    break;
                else
                    ++i;
            }
            ++i;
        } else if (c == '\'') {
            const size_t start = i;
            std::string name;
            ++i;
            while (i < f.size()) {
                if (f[i] == '\'' && i + 1 < f.size() && f[i + 1] == '\'') {
                    name += '\'';
                    i += 2;
                } else if (f[i] == '\'') {
                    break;
                } else {
                    name += f[i++];
                }
            }
            ++i;
            if (i < f.size() && f[i] == '!') {
                visit(start, i + 1, name);
                ++i;
            }
        } else if (isNameChar(static_cast<unsigned char>(c))) {
            const size_t start = i;
            while (i < f.size() && isNameChar(static_cast<unsigned char>(f[i])))
                ++i;
            if (i < f.size() && f[i] == '!') {
                visit(start, i + 1, f.substr(start, i - start));
                ++i;
            }
        } else {
            ++i;
        }
    }
}

} // namespace

// Names other than plain ASCII words are quoted; quotes are always accepted, so this errs on the safe side.
std::string quotedSheetName(const std::string& name) {
    bool plain = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0]));
    for (unsigned char c : name)
        if (!(std::isalnum(c) || c == '_' || c == '.'))
            plain = false;
    // A name that also reads as a cell reference ("AB12") must be quoted.
    if (plain && parseCellRef(name))
        plain = false;
    if (plain)
        return name;
    std::string out = "'";
    for (char c : name) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

std::string renameSheetInFormula(const std::string& formula, const std::string& oldName,
                                 const std::string& newName) {
    std::string out;
    size_t copied = 0;
    forEachSheetPrefix(formula, [&](size_t start, size_t end, const std::string& name) {
        if (!sameSheet(name, oldName))
            return;
        out.append(formula, copied, start - copied);
        if (newName.empty()) {
            // The reference after the prefix goes with the sheet.
            size_t stop = end;
            while (stop < formula.size() && (std::isalnum(static_cast<unsigned char>(formula[stop])) ||
                                             formula[stop] == '$' || formula[stop] == ':'))
                ++stop;
            out += "#REF!";
            copied = stop;
        } else {
            out += quotedSheetName(newName) + "!";
            copied = end;
        }
    });
    out.append(formula, copied, std::string::npos);
    return out;
}

std::optional<std::pair<std::string, RangeRef>> parseAreaFormula(const std::string& formula) {
    std::optional<std::pair<std::string, RangeRef>> result;
    int prefixes = 0;
    forEachSheetPrefix(formula, [&](size_t start, size_t end, const std::string& name) {
        ++prefixes;
        if (start != 0)
            return;
        if (auto ref = parseRangeRef(std::string_view(formula).substr(end)))
            result = std::make_pair(name, *ref);
    });
    if (prefixes != 1)
        return std::nullopt;
    return result;
}

} // namespace kemnoa::xlsx
