#pragma once
// The QSOs of the logbook grouped by base call (the call without its portable or prefix
// designators, so that W1XYZ, W1XYZ/P and DL/W1XYZ are one station), each group in the
// logbook's by-call order; kept in step with every insertion and deletion.
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "logbook/qso_observer.h"

namespace korval {

class TQsoData;

class TSameCallIndex : public TQsoObserver {
public:
    // Groups every QSO of the log.
    explicit TSameCallIndex(TQsoData* log);
    ~TSameCallIndex() override;
    TSameCallIndex(const TSameCallIndex&) = delete;
    TSameCallIndex& operator=(const TSameCallIndex&) = delete;

    // The QSOs whose base call is that of call (letter case ignored), in by-call order.
    const std::vector<TQsoRecord*>& QsosOf(std::string_view call) const;
    // The base call a call is grouped under: upper case, designators dropped.
    static std::string KeyOf(std::string_view call);

    // Told after a QSO of that base call came or went (before a deleted record is freed), and
    // after the whole index was rebuilt (empty base).
    std::function<void(const std::string& base)> OnChanged;

    // TQsoObserver
    void QsoInserted(TQsoRecord* rec) override;
    void QsoDeleting(TQsoRecord* rec) override;
    void QsosReset() override;
    void LogGone() override;

private:
    void Build();
    TQsoData* log_;
    std::unordered_map<std::string, std::vector<TQsoRecord*>> groups_;
};

} // namespace korval
