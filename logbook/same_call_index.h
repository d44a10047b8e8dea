#pragma once
// The QSOs of one station: every QSO whose base call (the call without its portable or prefix
// designators, so that W1XYZ, W1XYZ/P and DL/W1XYZ are one station) is a given one, in the
// logbook's by-call order. Plain calls are found in the logbook's own by-call index; only the
// calls with designators are grouped here, by base call, and kept in step with every insertion
// and deletion, so that opening the window over a big log costs one pass over it.
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
    explicit TSameCallIndex(TQsoData* log);
    ~TSameCallIndex() override;
    TSameCallIndex(const TSameCallIndex&) = delete;
    TSameCallIndex& operator=(const TSameCallIndex&) = delete;

    // The QSOs whose base call is that of call (letter case ignored), in by-call order; a QSO
    // being deleted is no longer among them.
    std::vector<TQsoRecord*> QsosOf(std::string_view call) const;
    // The base call a call is grouped under: upper case, designators dropped.
    static std::string KeyOf(std::string_view call);

    // Told after a QSO came, and before a deleted one is freed (with its base call and the
    // record); after the whole log changed (empty base, no record).
    std::function<void(const std::string& base, const TQsoRecord* rec)> OnChanged;

    // TQsoObserver
    void QsoInserted(TQsoRecord* rec) override;
    void QsoDeleting(TQsoRecord* rec) override;
    void QsosReset() override;
    void LogGone() override;

private:
    void Build();
    TQsoData* log_;
    std::unordered_map<std::string, std::vector<TQsoRecord*>> designated_;
    const TQsoRecord* going_ = nullptr;
};

} // namespace korval
