#pragma once
// Reads cluster lines ("DX de" announcements, show/dx listings, ...) into spots by matching
// them against the operator's spot templates.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "station/spot_record.h"

namespace korval {

class TSpotParser {
public:
    static constexpr std::size_t MaxLine = 255;  // positions are one byte wide
    static constexpr std::size_t MaxTemplate = 32;
    static const std::array<std::string, 4>& DefaultTemplates();

    TSpotParser();
    explicit TSpotParser(const std::array<std::string, 4>& templates);

    // True when the line fits one of the templates; spot then holds its fields, with the QSX
    // offset (up/down) already applied.
    bool ParseLine(std::string_view line, TSpotRecord& spot);

    // The digits-and-dots run at pos (pos moves past it); the result is the run's length and
    // value is 0 when the run is no number (more than one dot, or nothing but dots).
    static int ParseFrequency(std::string_view text, std::size_t& pos, double& value);

private:
    bool MatchTemplate(std::string_view tmpl);
    bool ParseCall(std::string& dest, bool isCall);
    bool ParseSpotDate(TDayNumber& day);
    bool ParseSpotTime(std::uint16_t& minutes);
    void ParseRemarks(std::string_view tmpl, std::size_t qIndex);

    std::array<std::string, 4> templates_;
    std::string line_;       // upper-cased, at most MaxLine characters
    std::size_t pos_ = 0;    // 0-based
    TSpotRecord rec_;
    int qsxDirection_ = 0;   // 0 none, 1 up, 2 down
};

} // namespace korval
