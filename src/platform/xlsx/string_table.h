#pragma once
// The shared string table (xl/sharedStrings.xml). Each entry keeps its stored form (plain or rich
// text with phonetic guides), so that copying cells between workbooks carries it unchanged.

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kemnoa::xlsx {

class StringTable {
public:
    StringTable() = default;
    // The index refers into the entries: a copy would refer into the original.
    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;
    StringTable(StringTable&&) = default;
    StringTable& operator=(StringTable&&) = default;

    void load(const std::string& xml, const std::string& partName);
    // Adds a plain text (UTF-8) or finds an equal one; returns its index.
    uint32_t add(const std::string& text);
    // Adds an entry by its stored form (the inside of <si>); returns its index.
    uint32_t addStored(std::string_view inner);
    size_t size() const { return stored_.size(); }
    const std::string& stored(uint32_t index) const { return stored_[index]; }
    // The text a reader sees: all runs joined, without phonetic guides.
    std::string text(uint32_t index) const;
    // Writes the entries listed (new index i is old entry used[i]); `references` is the cell count.
    std::string save(const std::vector<uint32_t>& used, size_t references) const;

private:
    // Each entry is kept once: the index views the entries, which a deque never moves.
    std::deque<std::string> stored_;
    std::unordered_map<std::string_view, uint32_t> index_; // stored form -> index
};

// The text of a <si> or <is> element's inside.
std::string plainText(const std::string& inner);

} // namespace kemnoa::xlsx
