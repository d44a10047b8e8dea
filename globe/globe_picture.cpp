#include "globe/globe_picture.h"

#include <filesystem>
#include <mutex>

namespace korval {

namespace {
std::mutex g_mutex;
TGlobePictureLoader g_loader;
} // namespace

TGlobePictureLoader SetGlobePictureLoader(TGlobePictureLoader loader)
{
    std::lock_guard lock(g_mutex);
    std::swap(g_loader, loader);
    return loader;
}

std::shared_ptr<TGlobePicture> LoadGlobePicture(const std::string& fileName)
{
    TGlobePictureLoader loader;
    {
        std::lock_guard lock(g_mutex);
        loader = g_loader;
    }
    std::error_code ec;
    if (!loader || fileName.empty() || !std::filesystem::is_regular_file(fileName, ec))
        return nullptr;
    auto picture = loader(fileName);
    if (picture && (picture->Empty() || picture->Pixels.size() != std::size_t(picture->Width) * picture->Height))
        return nullptr;
    return picture;
}

} // namespace korval
