#include "platform/xlsx/relationships.h"

#include "platform/xlsx/xml_util.h"

#include <pugixml.hpp>

namespace kemnoa::xlsx {

void Relationships::load(const std::string& xml, const std::string& partName) {
    pugi::xml_document doc;
    parseXml(doc, xml, partName);
    for (pugi::xml_node r = doc.document_element().first_child(); r; r = r.next_sibling()) {
        if (r.type() != pugi::node_element || localName(r) != "Relationship")
            continue;
        Relationship rel;
        rel.id = r.attribute("Id").value();
        rel.type = r.attribute("Type").value();
        rel.target = r.attribute("Target").value();
        rel.external = std::string_view(r.attribute("TargetMode").value()) == "External";
        if (!rel.id.empty())
            items_.push_back(std::move(rel));
    }
}

std::string Relationships::save() const {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (const Relationship& r : items_) {
        out += "<Relationship Id=\"" + escaped(r.id) + "\" Type=\"" + escaped(r.type) + "\" Target=\"" +
               escaped(r.target) + "\"";
        if (r.external)
            out += " TargetMode=\"External\"";
        out += "/>";
    }
    return out + "</Relationships>";
}

const Relationship* Relationships::find(const std::string& id) const {
    for (const Relationship& r : items_)
        if (r.id == id)
            return &r;
    return nullptr;
}

const Relationship* Relationships::firstOfType(const std::string& type) const {
    for (const Relationship& r : items_)
        if (r.type == type)
            return &r;
    return nullptr;
}

std::string Relationships::add(const std::string& type, const std::string& target) {
    int n = int(items_.size()) + 1;
    std::string id;
    do {
        id = "rId" + std::to_string(n++);
    } while (find(id));
    items_.push_back({id, type, target, false});
    return id;
}

void Relationships::removeType(const std::string& type) {
    std::erase_if(items_, [&](const Relationship& r) { return r.type == type; });
}

std::string relsPartName(const std::string& partName) {
    const size_t slash = partName.rfind('/');
    if (slash == std::string::npos)
        return "_rels/" + partName + ".rels";
    return partName.substr(0, slash + 1) + "_rels/" + partName.substr(slash + 1) + ".rels";
}

namespace {
std::vector<std::string> split(const std::string& path) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = path.find('/', start);
        const std::string piece =
            path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        out.push_back(piece);
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return out;
}
} // namespace

std::string resolveTarget(const std::string& partName, const std::string& target) {
    std::vector<std::string> parts;
    if (target.empty() || target[0] != '/') {
        parts = split(partName);
        parts.pop_back(); // the file name
    }
    for (const std::string& piece : split(target)) {
        if (piece.empty() || piece == ".")
            continue;
        if (piece == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else {
            parts.push_back(piece);
        }
    }
    std::string out;
    for (const std::string& p : parts) {
        if (p.empty())
            continue;
        if (!out.empty())
            out += '/';
        out += p;
    }
    return out;
}

std::string relativeTarget(const std::string& fromPart, const std::string& toPart) {
    std::vector<std::string> from = split(fromPart);
    from.pop_back();
    const std::vector<std::string> to = split(toPart);
    size_t common = 0;
    while (common < from.size() && common + 1 < to.size() && from[common] == to[common])
        ++common;
    std::string out;
    for (size_t i = common; i < from.size(); ++i)
        out += "../";
    for (size_t i = common; i < to.size(); ++i) {
        out += to[i];
        if (i + 1 < to.size())
            out += '/';
    }
    return out;
}

} // namespace kemnoa::xlsx
