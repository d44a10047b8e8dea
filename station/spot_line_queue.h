#pragma once
// The pending cluster lines of the spot list: filled as lines arrive, drained in idle time so
// a burst from the cluster is parsed without holding up the terminal.
#include <deque>
#include <functional>
#include <string>

#include "station/spot_parser.h"

namespace korval {

class TSpotLineQueue {
public:
    using SpotSink = std::function<void(const TSpotRecord&)>;
    using TalkSink = std::function<void(const std::string&)>;
    // Told when a burst starts (true) and ends (false), so the grid repaints once per burst.
    using UpdateSink = std::function<void(bool suspend)>;

    TSpotLineQueue(TSpotParser& parser, SpotSink spots, TalkSink talk);

    void setPaused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }
    void setTalkAction(int action) { talkAction_ = action; }
    void setUpdateSink(UpdateSink sink) { update_ = std::move(sink); }

    void AddPendingLine(const std::string& line);
    void ProcessPendingLines();
    bool ProcessClusterLine(const std::string& line);
    // Queues every line of a text file; false when it cannot be read.
    bool LoadSpotFile(const std::string& fileName);

    std::size_t pending() const { return lines_.size(); }

private:
    TSpotParser& parser_;
    SpotSink spots_;
    TalkSink talk_;
    UpdateSink update_;
    std::deque<std::string> lines_;
    bool paused_ = false;
    int talkAction_ = 0;
};

} // namespace korval
