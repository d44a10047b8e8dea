#pragma once
// The globe profile (maps/tglobe.prf): an INI file naming the layer files and their settings.
// Sections and keys are matched ignoring case and kept in file order; booleans are "1"/"0".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

class TGlobeProfile {
public:
    // Reads the file; a missing file gives an empty profile.
    explicit TGlobeProfile(std::string fileName);
    const std::string& FileName() const { return fileName_; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void EraseSection(std::string_view section);
    bool HasKey(std::string_view section, std::string_view key) const;

    std::string Text() const;
    // Written to a temporary file next to it and renamed over it; false when that fails.
    bool Save() const;

private:
    struct Key {
        std::string name, value;
    };
    struct Section {
        std::string name;
        std::vector<Key> keys;
    };
    const Key* Find(std::string_view section, std::string_view key) const;
    std::string fileName_;
    std::vector<Section> sections_;
};

} // namespace korval
