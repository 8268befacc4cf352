#include "platform/xlsx/string_table.h"

#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/xml_util.h"

#include <pugixml.hpp>

namespace kemnoa::xlsx {
namespace {

void collectText(const pugi::xml_node& node, std::string& out) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const std::string_view name = localName(c);
        if (name == "t")
            out += c.text().get();
        else if (name == "r")
            collectText(c, out);
        // rPh (phonetic guide) and phoneticPr are not part of the cell's text.
    }
}

std::string storedPlain(const std::string& text) {
    // Most texts need neither escapes nor encoding, nor space kept.
    bool plain = !text.empty() && text.front() != ' ' && text.back() != ' ';
    for (size_t i = 0; plain && i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        plain = c >= 0x20 && c != '_' && c != '&' && c != '<' && c != '>' && c != '"';
    }
    if (plain) {
        std::string out;
        out.reserve(text.size() + 7);
        out += "<t>";
        out += text;
        out += "</t>";
        return out;
    }
    const std::string encoded = encodeCellText(text);
    const bool keepSpace = !encoded.empty() && (std::isspace(static_cast<unsigned char>(encoded.front())) ||
                                                std::isspace(static_cast<unsigned char>(encoded.back())));
    std::string out = keepSpace ? "<t xml:space=\"preserve\">" : "<t>";
    appendEscaped(out, encoded);
    return out + "</t>";
}

} // namespace

std::string plainText(const std::string& inner) {
    pugi::xml_document doc;
    const std::string wrapped = "<si>" + inner + "</si>";
    if (!doc.load_buffer(wrapped.data(), wrapped.size(), pugi::parse_default | pugi::parse_ws_pcdata))
        return {};
    std::string out;
    collectText(doc.document_element(), out);
    return decodeCellText(out);
}

void StringTable::load(const std::string& xml, const std::string& partName) {
    pugi::xml_document doc;
    parseXml(doc, xml, partName);
    normalizeMainPrefix(doc);
    for (pugi::xml_node si = doc.document_element().first_child(); si; si = si.next_sibling()) {
        if (si.type() != pugi::node_element || localName(si) != "si")
            continue;
        std::string inner;
        for (pugi::xml_node c = si.first_child(); c; c = c.next_sibling())
            inner += toXml(c);
        // Entries may repeat in a file; keep every index valid, index only the first.
        stored_.push_back(std::move(inner));
        index_.emplace(stored_.back(), uint32_t(stored_.size() - 1));
    }
}

uint32_t StringTable::add(const std::string& text) {
    return addStored(storedPlain(text));
}

uint32_t StringTable::addStored(std::string_view inner) {
    if (auto it = index_.find(inner); it != index_.end())
        return it->second;
    const uint32_t index = uint32_t(stored_.size());
    index_.emplace(stored_.emplace_back(inner), index);
    return index;
}

std::string StringTable::text(uint32_t index) const {
    const std::string& s = stored_[index];
    // The common plain form needs no parse.
    if (s.compare(0, 3, "<t>") == 0 && s.find('<', 3) == s.size() - 4 && s.find('&') == std::string::npos)
        return decodeCellText(s.substr(3, s.size() - 7));
    return plainText(s);
}

std::string StringTable::save(const std::vector<uint32_t>& used, size_t references) const {
    std::string out =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\"") +
        kMainNs + "\" count=\"" + std::to_string(references) + "\" uniqueCount=\"" +
        std::to_string(used.size()) + "\">";
    for (uint32_t i : used)
        out += "<si>" + stored_[i] + "</si>";
    return out + "</sst>";
}

} // namespace kemnoa::xlsx
