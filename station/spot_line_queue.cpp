#include "station/spot_line_queue.h"

#include <fstream>

namespace korval {

TSpotLineQueue::TSpotLineQueue(TSpotParser& parser, SpotSink spots, TalkSink talk)
    : parser_(parser), spots_(std::move(spots)), talk_(std::move(talk)) {}

void TSpotLineQueue::AddPendingLine(const std::string& line) {
    if (!paused_) lines_.push_back(line);
}

bool TSpotLineQueue::ProcessClusterLine(const std::string& line) {
    if (paused_) return false;
    TSpotRecord spot;
    if (!parser_.ParseLine(line, spot)) return false;
    if (spots_) spots_(spot);
    return true;
}

void TSpotLineQueue::ProcessPendingLines() {
    if (paused_ || lines_.empty()) return;
    const bool burst = lines_.size() >= 5;
    if (burst && update_) update_(true);
    while (!lines_.empty() && !paused_) {
        std::string line = std::move(lines_.front());
        lines_.pop_front();
        if (!ProcessClusterLine(line) && talkAction_ >= 1 && talk_) talk_(line);
    }
    if (burst && update_) update_(false);
}

bool TSpotLineQueue::LoadSpotFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        AddPendingLine(line);
    }
    return true;
}

} // namespace korval
