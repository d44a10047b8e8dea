#pragma once
// Contest support of the QSO window: the dupe check since the contest's start, and the
// configured exchange with the serial number ("##") and the radio's frequency ("$$") put in.
#include <string>

namespace korval {

class TQsoData;
class TQsoRadio;

class TQsoContest {
public:
    // log must outlive this object.
    explicit TQsoContest(const TQsoData& log) : log_(log) {}

    // A QSO of call on the same band and mode, inside the selection, since the contest began.
    bool IsDupe(const std::string& call, int mode, int band) const;
    // The exchange of a post; only a real-time post has its serial and frequency put in
    // (radio may be null or detached).
    static std::string Exchange(bool realTime, const TQsoRadio* radio);
    // The serial number is shown in real-time entry while a contest with a serial is on.
    static bool SerialShown(bool realTime);

private:
    const TQsoData& log_;
};

} // namespace korval
