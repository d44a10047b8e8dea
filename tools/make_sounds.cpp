// Makes the spoken token files of the spot announcements (data/sounds/) with the espeak-ng
// speech synthesizer: one WAV file per token, its silence at both ends trimmed.
//   make_sounds <output folder> [espeak-ng voice]
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "platform/atomic_file.h"
#include "platform/run_program.h"
#include "platform/wav_file.h"
#include "station/snd_thread.h"

namespace {

// What is said for a token where reading it as written would sound wrong.
const std::map<std::string, std::string> Spoken{
    {"callsign", "call sign"}, {"Country", "new country"}, {"mode", "new mode"}, {"bandmode", "new band mode"},
    {"/", "stroke"},           {"Sat", "satellite"},       {"160", "one sixty"}, {"1.2", "one point two"},
    {"1.8", "one point eight"}, {"3.7", "three point seven"}, {"1300", "thirteen hundred"},
    {"AM", "A M"},             {"ATV", "A T V"},           {"CLOV", "clover"},   {"CW", "C W"},
    {"FM", "F M"},             {"FSTV", "F S T V"},        {"GTOR", "G tor"},    {"MTOR", "am tor"},
    {"PACK", "packet"},        {"PSK", "P S K"},           {"PSK3", "P S K 3"},  {"PTOR", "pactor"},
    {"RTTY", "R T T Y"},       {"SSB", "S S B"},           {"SSTV", "S S T V"},
    {"A", "ay"}, {"B", "bee"}, {"C", "see"}, {"D", "dee"}, {"E", "ee"}, {"F", "eff"}, {"G", "jee"},
    {"H", "aitch"}, {"I", "eye"}, {"J", "jay"}, {"K", "kay"}, {"L", "ell"}, {"M", "em"}, {"N", "en"},
    {"O", "oh"}, {"P", "pee"}, {"Q", "cue"}, {"R", "ar"}, {"S", "ess"}, {"T", "tee"}, {"U", "you"},
    {"V", "vee"}, {"W", "double you"}, {"X", "ex"}, {"Y", "why"}, {"Z", "zed"}};

// Cuts the quiet start and end of 16-bit mono speech, keeping 20 ms on either side.
void TrimSilence(korval::TWavData& wav)
{
    const std::size_t frames = wav.Frames();
    auto level = [&wav](std::size_t i) {
        const auto lo = static_cast<unsigned char>(wav.samples[2 * i]);
        const auto hi = static_cast<unsigned char>(wav.samples[2 * i + 1]);
        return std::abs(static_cast<int>(static_cast<std::int16_t>(lo | hi << 8)));
    };
    constexpr int Threshold = 300;
    std::size_t first = 0, last = frames;
    while (first < frames && level(first) < Threshold)
        ++first;
    while (last > first && level(last - 1) < Threshold)
        --last;
    const std::size_t margin = static_cast<std::size_t>(wav.sampleRate / 50);
    first = first > margin ? first - margin : 0;
    last = std::min(frames, last + margin);
    wav.samples = wav.samples.substr(2 * first, 2 * (last - first));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_sounds <output folder> [voice]\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::string voice = argc > 2 ? argv[2] : "en-us";
    std::filesystem::create_directories(out);
    const std::string tmp = (std::filesystem::temp_directory_path() / "korval-make-sounds.wav").string();
    for (const std::string& token : korval::Tsndthread::AllTokens()) {
        auto it = Spoken.find(token);
        const std::string text = it != Spoken.end() ? it->second : token;
        auto r = korval::ExecuteAndWait("espeak-ng", {"-v", voice, "-s", "160", "-w", tmp, text}, 30000);
        if (!r.Finished() || r.ExitCode != 0) {
            std::fprintf(stderr, "espeak-ng failed for \"%s\": %s\n", text.c_str(), r.Error.c_str());
            return 1;
        }
        std::ifstream in(tmp, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        korval::TWavData wav;
        std::string error;
        if (!korval::ParseWav(bytes, wav, error) || wav.channels != 1 || wav.bitsPerSample != 16) {
            std::fprintf(stderr, "unexpected espeak-ng output for \"%s\": %s\n", text.c_str(), error.c_str());
            return 1;
        }
        TrimSilence(wav);
        korval::WriteFileAtomically(out + "/" + korval::Tsndthread::TokenFileName(token), korval::MakeWav(wav));
    }
    std::filesystem::remove(tmp);
    return 0;
}
