#pragma once
// Answers to the import's questions for the harnesses: ignore duplicates, keep this program's
// country and zone.
#include "exchange/import_driver.h"

namespace korval::fuzz {

class TFixedAnswers : public TImportQuestions {
public:
    TFixedAnswers() { SetImportQuestions(this); }
    ~TFixedAnswers() override { SetImportQuestions(nullptr); }
    bool AskDupesImportPolicy(int& policy) override
    {
        policy = 2;
        return true;
    }
    int ConfirmPrefixZoneChange(const TQsoRecord&, std::uint16_t, std::uint8_t) override { return 1; }
};

} // namespace korval::fuzz
