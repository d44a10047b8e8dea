// The layer-file reader: the bytes go straight to the parser, which must
// either load them or refuse them with EGlobeException, never read outside them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "globe/globe_core.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static korval::TGlobeCore globe;
    korval::TGlobeLayer* layer = globe.LayerCount() ? &globe.GetLayer(0) : globe.AddLayer();
    try {
        layer->LoadFromStream(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.lyr");
        for (int i = 0; i < layer->ObjectCount(); ++i) {
            layer->Object(i)->Bounds();
            layer->Object(i)->ContainsLL({0, 0, 0});
        }
        layer->SaveToBytes();
    } catch (const korval::EGlobeException&) {
    }
    layer->ClearObjects();
    return 0;
}
