#pragma once
// Small helpers for the SpreadsheetML parts: escaping, prefix-free element names, schema order.

#include <initializer_list>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace kemnoa::xlsx {

inline constexpr const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char* kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// Escapes text for element content or attribute values.
void appendEscaped(std::string& out, std::string_view text);
std::string escaped(std::string_view text);

// A cell text as SpreadsheetML stores it: characters XML cannot carry and literal "_xHHHH_"
// sequences are written as "_xHHHH_" escapes. decodeCellText undoes it.
std::string encodeCellText(std::string_view text);
std::string decodeCellText(std::string_view text);

// The element name without its namespace prefix.
std::string_view localName(const pugi::xml_node& node);
// The prefix ("x:" or "") of an element, for creating siblings the same way.
std::string prefixOf(const pugi::xml_node& node);
pugi::xml_node child(const pugi::xml_node& parent, std::string_view local);

// Inserts a new child named prefix+local among parent's children so that the order of
// `order` (local names in schema sequence) is kept; returns the new node.
pugi::xml_node insertInOrder(pugi::xml_node parent, std::string_view local,
                             std::initializer_list<std::string_view> order);

// The children of a worksheet element in schema sequence, for insertInOrder.
const std::initializer_list<std::string_view>& worksheetChildOrder();

// The prefix bound to a namespace URI on the root element, declaring "r" when it has none.
std::string relationshipPrefix(pugi::xml_node root);

// Serialises a node (or document) without indentation.
std::string toXml(const pugi::xml_node& node);

// Parses XML, throwing WorkbookError naming the part when it is not well formed.
void parseXml(pugi::xml_document& doc, const std::string& text, const std::string& partName);

} // namespace kemnoa::xlsx

namespace kemnoa::xlsx {
// Moves elements of the SpreadsheetML namespace written with a prefix ("x:sheetData") to the
// default namespace, so the rest of the engine reads and writes plain names.
void normalizeMainPrefix(pugi::xml_document& doc);
// Attributes of a node as written in a start tag (` a="v"`).
std::string attributesXml(const pugi::xml_node& node);
} // namespace kemnoa::xlsx
