#pragma once
// The macro escapes of the function keys read the QSO window through TQsoMacroContext.
#include <string>

#include "logbook/qso_entry.h"
#include "logbook/text_macros.h"

namespace korval {

class TQsoMacroContext : public TMacroContext {
public:
    // entry may be null: no QSO window open.
    explicit TQsoMacroContext(TQsoEntry* entry) : entry_(entry) {}
    bool HasQsoWindow() const override { return entry_ != nullptr; }
    std::string CallField() const override { return entry_ ? entry_->Fields.Text[fCall] : std::string(); }
    std::string RstSentField() const override { return entry_ ? entry_->Fields.Text[fRsts] : std::string(); }
    std::string RstRcvdField() const override { return entry_ ? entry_->Fields.Text[fRstr] : std::string(); }
    // The received exchange, else the received report without its leading blank.
    std::string ExchangeText() const override;
    // The first word of the call's notes when it reads as a name.
    std::string Name() const override;
    bool RealTimeEntry() const override { return entry_ && entry_->EntryMode() == emRealTime; }
    void LogWithExchange() override
    {
        if (entry_)
            entry_->LogWithExchange();
    }

private:
    TQsoEntry* entry_;
};

} // namespace korval
