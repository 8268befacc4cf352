#include "platform/xlsx/xml_util.h"

#include "platform/xlsx/workbook_error.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace kemnoa::xlsx {

void appendEscaped(std::string& out, std::string_view text) {
    for (char ch : text) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            out += ch;
        }
    }
}

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

const std::initializer_list<std::string_view>& worksheetChildOrder() {
    static const std::initializer_list<std::string_view> order = {
        "sheetPr",
        "dimension",
        "sheetViews",
        "sheetFormatPr",
        "cols",
        "sheetData",
        "sheetCalcPr",
        "sheetProtection",
        "protectedRanges",
        "scenarios",
        "autoFilter",
        "sortState",
        "dataConsolidate",
        "customSheetViews",
        "mergeCells",
        "phoneticPr",
        "conditionalFormatting",
        "dataValidations",
        "hyperlinks",
        "printOptions",
        "pageMargins",
        "pageSetup",
        "headerFooter",
        "rowBreaks",
        "colBreaks",
        "customProperties",
        "cellWatches",
        "ignoredErrors",
        "smartTags",
        "drawing",
        "legacyDrawing",
        "legacyDrawingHF",
        "picture",
        "oleObjects",
        "controls",
        "webPublishItems",
        "tableParts",
        "extLst",
    };
    return order;
}

namespace {
bool isHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}
bool isEscapeAt(std::string_view s, size_t i) {
    return i + 7 <= s.size() && s[i] == '_' && s[i + 1] == 'x' && isHex(s[i + 2]) && isHex(s[i + 3]) &&
           isHex(s[i + 4]) && isHex(s[i + 5]) && s[i + 6] == '_';
}
} // namespace

std::string encodeCellText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(text[i]);
        if (isEscapeAt(text, i)) {
            out += "_x005F";
            out += text[i];
        } else if (ch < 0x20 && ch != '\t' && ch != '\n' && ch != '\r') {
            char buf[8];
            std::snprintf(buf, sizeof buf, "_x%04X_", ch);
            out += buf;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string decodeCellText(std::string_view text) {
    if (text.find("_x") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (isEscapeAt(text, i)) {
            const unsigned code = unsigned(std::stoul(std::string(text.substr(i + 2, 4)), nullptr, 16));
            if (code < 0x80) {
                out += char(code);
            } else if (code < 0x800) {
                out += char(0xC0 | (code >> 6));
                out += char(0x80 | (code & 0x3F));
            } else {
                out += char(0xE0 | (code >> 12));
                out += char(0x80 | ((code >> 6) & 0x3F));
                out += char(0x80 | (code & 0x3F));
            }
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string_view localName(const pugi::xml_node& node) {
    std::string_view name = node.name();
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string prefixOf(const pugi::xml_node& node) {
    std::string_view name = node.name();
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon + 1));
}

pugi::xml_node child(const pugi::xml_node& parent, std::string_view local) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && localName(c) == local)
            return c;
    return {};
}

pugi::xml_node insertInOrder(pugi::xml_node parent, std::string_view local,
                             std::initializer_list<std::string_view> order) {
    auto rank = [&](std::string_view name) -> int {
        int i = 0;
        for (std::string_view o : order) {
            if (o == name)
                return i;
            ++i;
        }
        return int(order.size()); // unknown elements (extensions) sort last
    };
    const int mine = rank(local);
    pugi::xml_node after;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (rank(localName(c)) <= mine)
            after = c;
    }
    const std::string name = prefixOf(parent) + std::string(local);
    return after ? parent.insert_child_after(name.c_str(), after) : parent.prepend_child(name.c_str());
}

std::string relationshipPrefix(pugi::xml_node root) {
    for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute()) {
        std::string_view n = a.name();
        if (n.substr(0, 6) == "xmlns:" && std::string_view(a.value()) == kRelNs)
            return std::string(n.substr(6));
    }
    std::string prefix = "r";
    while (root.attribute(("xmlns:" + prefix).c_str()))
        prefix += "r";
    root.append_attribute(("xmlns:" + prefix).c_str()) = kRelNs;
    return prefix;
}

std::string toXml(const pugi::xml_node& node) {
    std::ostringstream out;
    node.print(out, "", pugi::format_raw | pugi::format_no_declaration);
    return out.str();
}

void parseXml(pugi::xml_document& doc, const std::string& text, const std::string& partName) {
    const pugi::xml_parse_result result =
        doc.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!result)
        throw WorkbookError(
            QStringLiteral("ブックの部品 %1 が壊れています: %2 (位置 %3)")
                .arg(QString::fromStdString(partName), QString::fromUtf8(result.description()))
                .arg(result.offset));
    if (!doc.document_element())
        throw WorkbookError(QStringLiteral("ブックの部品 %1 が空です").arg(QString::fromStdString(partName)));
}

} // namespace kemnoa::xlsx

namespace kemnoa::xlsx {

void normalizeMainPrefix(pugi::xml_document& doc) {
    pugi::xml_node root = doc.document_element();
    const std::string prefix = prefixOf(root);
    if (prefix.empty())
        return;
    const std::string declaration = "xmlns:" + prefix.substr(0, prefix.size() - 1);
    if (std::string_view(root.attribute(declaration.c_str()).value()) != kMainNs)
        return;
    struct Walker : pugi::xml_tree_walker {
        std::string prefix;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() == pugi::node_element &&
                std::string_view(node.name()).substr(0, prefix.size()) == prefix)
                node.set_name(std::string(node.name()).substr(prefix.size()).c_str());
            return true;
        }
    } walker;
    walker.prefix = prefix;
    root.set_name(std::string(root.name()).substr(prefix.size()).c_str());
    doc.traverse(walker);
    if (root.attribute("xmlns"))
        root.attribute("xmlns") = kMainNs;
    else
        root.prepend_attribute("xmlns") = kMainNs;
}

std::string attributesXml(const pugi::xml_node& node) {
    std::string out;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        out += ' ';
        out += a.name();
        out += "=\"";
        appendEscaped(out, a.value());
        out += '"';
    }
    return out;
}

} // namespace kemnoa::xlsx
