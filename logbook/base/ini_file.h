#pragma once
// The program's own INI-file class for its text settings files (report definitions, exported
// settings, radio definitions): the whole file is read when the object is created and written
// back whole, only when something changed.
//
// Sections are kept sorted (case-insensitively, letters folded to upper case) and are written
// back in that order; keys keep the order in which they were read or added. Section and key
// names are matched case-insensitively. Values hold at most 255 characters. Text is kept as
// bytes (Windows-1252) and written with CR LF line ends.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

class AtomicFile;

class TIniFile {
public:
    static constexpr std::size_t MaxValueLength = 255;

    // Reads the file when it exists; a missing file gives an empty object. With readExisting
    // false the object starts empty whatever is on disk (for writing a file anew: the old one
    // stays until the new one replaces it).
    explicit TIniFile(std::string fileName, bool readExisting = true);
    // Writes the file back when it was modified. A failure cannot be raised from here: it is
    // shown to the operator as an error message. Call UpdateFile first to handle it yourself.
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const;
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    void WriteBool(std::string_view section, std::string_view key, bool value);
    // The default for a missing, empty or non-numeric value.
    double ReadFloat(std::string_view section, std::string_view key, double def) const;
    // Written in scientific notation, e.g. " 1.50000000000000E+0000".
    void WriteFloat(std::string_view section, std::string_view key, double value);
    bool SectionExists(std::string_view section) const;

    // Writes the file now when modified (atomically: a temporary next to it, renamed over it);
    // raises EFileWriteError on failure, the old file then left as it was and Modified kept.
    void UpdateFile();
    // The same through a rewrite the caller prepared (e.g. with the keep-backup copy of data
    // files); written and committed even when nothing changed.
    void UpdateFile(std::unique_ptr<AtomicFile> file);

    const std::string& FileName() const { return fileName_; }
    bool Modified() const { return modified_; }
    // Forgets that anything changed: nothing is written when the object goes (for a caller
    // that takes Text() and writes it its own way).
    void DiscardChanges() { modified_ = false; }

    // The section names in their (sorted) order and the key names of one section in their order.
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;

    // The written form of the current contents.
    std::string Text() const;

private:
    struct Key {
        std::string name;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Key> keys;
    };

    void Parse(std::string_view text);
    // Position of the section or where it belongs; found tells which.
    std::size_t FindSection(std::string_view name, bool& found) const;
    Section& AddSection(std::string_view name);
    const Key* FindKey(std::string_view section, std::string_view key) const;

    std::string fileName_;
    bool modified_ = false;
    std::vector<Section> sections_;
};

} // namespace korval
