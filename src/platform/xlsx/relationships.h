#pragma once
// Package relationships (the _rels/*.rels parts) and the part-name arithmetic around them.

#include <string>
#include <vector>

namespace kemnoa::xlsx {

namespace reltype {
inline constexpr const char* kBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
inline const std::string officeDocument = std::string(kBase) + "officeDocument";
inline const std::string worksheet = std::string(kBase) + "worksheet";
inline const std::string styles = std::string(kBase) + "styles";
inline const std::string sharedStrings = std::string(kBase) + "sharedStrings";
inline const std::string drawing = std::string(kBase) + "drawing";
inline const std::string image = std::string(kBase) + "image";
inline const std::string calcChain = std::string(kBase) + "calcChain";
inline const std::string table = std::string(kBase) + "table";
inline const std::string vbaProject = "http://schemas.microsoft.com/office/2006/relationships/vbaProject";
} // namespace reltype

struct Relationship {
    std::string id;
    std::string type;
    std::string target; // as written
    bool external = false;
};

class Relationships {
public:
    void load(const std::string& xml, const std::string& partName);
    std::string save() const;
    bool empty() const { return items_.empty(); }
    const std::vector<Relationship>& items() const { return items_; }
    std::vector<Relationship>& items() { return items_; }
    const Relationship* find(const std::string& id) const;
    const Relationship* firstOfType(const std::string& type) const;
    // Adds a relationship with a fresh id; returns the id.
    std::string add(const std::string& type, const std::string& target);
    void removeType(const std::string& type);

private:
    std::vector<Relationship> items_;
};

// "xl/worksheets/sheet1.xml" -> "xl/worksheets/_rels/sheet1.xml.rels"; "" (the package) -> "_rels/.rels".
std::string relsPartName(const std::string& partName);
// Resolves a target written in the rels of partName to a part name ("../media/a.png" -> "xl/media/a.png").
std::string resolveTarget(const std::string& partName, const std::string& target);
// The target to write in the rels of fromPart for the part toPart.
std::string relativeTarget(const std::string& fromPart, const std::string& toPart);

} // namespace kemnoa::xlsx
