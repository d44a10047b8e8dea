#include "station/psk31/psk_sound_card.h"

#include <cstdlib>

#include "station/psk31/alsa_sound_card.h"
#include "station/psk31/wav_sound_card.h"

namespace korval {

std::unique_ptr<TPskSoundCard> SoundCardFromEnvironment()
{
    const char* input = std::getenv(PskInputVariable);
    const char* output = std::getenv(PskOutputVariable);
    if ((input && *input) || (output && *output))
        return std::make_unique<TWavSoundCard>(input ? input : "", output ? output : "");
    const char* device = std::getenv(PskDeviceVariable);
    return std::make_unique<TAlsaSoundCard>(device && *device ? device : "default");
}

} // namespace korval
