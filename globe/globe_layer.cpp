#include "globe/globe_layer.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "globe/globe_core.h"

namespace korval {

namespace fs = std::filesystem;

TGlobeLayer::TGlobeLayer(TGlobeCore* globe) : globe_(globe) {}

TGlobeLayer::~TGlobeLayer()
{
    // Objects first: they may reference presenters and the globe's selection.
    objects_.clear();
    presenters_.clear();
}

void TGlobeLayer::Reset()
{
    Filename.clear();
    rect = {};
    Visible = Enabled = true;
    Animated = LoadOnDemand = false;
    MaxFontHeight = ZoomMin = ZoomMax = 0;
    zoomUnits_ = TGlobeUnits::NauticalMile;
    ClearObjects();
    if (globe_)
        globe_->RedrawGlobe();
}

void TGlobeLayer::ClearObjects()
{
    if (globe_)
        for (const auto& o : objects_)
            globe_->ForgetObject(o.get());
    objects_.clear();
    presenters_.clear();
    loaded_ = false;
    rect = {};
}

TGlobeObject* TGlobeLayer::AddObject(std::unique_ptr<TGlobeObject> object)
{
    TGlobeObject* o = object.get();
    objects_.push_back(std::move(object));
    rect = {};
    if (globe_) {
        globe_->LayersModified = true;
        if (globe_->OnObjectCreate)
            globe_->OnObjectCreate(o);
    }
    return o;
}

TGlobePresenter* TGlobeLayer::AddPresenter(std::unique_ptr<TGlobePresenter> presenter)
{
    presenters_.push_back(std::move(presenter));
    return presenters_.back().get();
}

void TGlobeLayer::DeleteObject(TGlobeObject* object)
{
    auto it = std::find_if(objects_.begin(), objects_.end(), [&](const auto& o) { return o.get() == object; });
    if (it == objects_.end())
        return;
    std::unique_ptr<TGlobeObject> gone = std::move(*it);
    objects_.erase(it);
    rect = {};
}

void TGlobeLayer::DeletePresenter(TGlobePresenter* presenter)
{
    if (globe_)
        for (int l = -1; l < globe_->LayerCount(); ++l) {
            TGlobeLayer& layer = l < 0 ? globe_->GlobalLayer() : globe_->GetLayer(l);
            for (const auto& o : layer.objects_)
                if (o->Presenter() == presenter)
                    o->ClearPresenter();
        }
    else
        for (const auto& o : objects_)
            if (o->Presenter() == presenter)
                o->ClearPresenter();
    auto it = std::find_if(presenters_.begin(), presenters_.end(), [&](const auto& p) { return p.get() == presenter; });
    if (it != presenters_.end())
        presenters_.erase(it);
    if (globe_)
        globe_->RedrawGlobe();
}

void TGlobeLayer::RemoveUnusedPresenters()
{
    for (const auto& p : presenters_)
        p->InUse = false;
    for (const auto& o : objects_)
        if (o->Presenter())
            o->Presenter()->InUse = true;
    for (int i = PresenterCount() - 1; i >= 0; --i)
        if (!presenters_[static_cast<std::size_t>(i)]->InUse)
            DeletePresenter(presenters_[static_cast<std::size_t>(i)].get());
}

TGlobeObject* TGlobeLayer::Object(int i) const
{
    return i >= 0 && i < ObjectCount() ? objects_[static_cast<std::size_t>(i)].get() : nullptr;
}

TGlobePresenter* TGlobeLayer::PresenterAt(int i) const
{
    return i >= 0 && i < PresenterCount() ? presenters_[static_cast<std::size_t>(i)].get() : nullptr;
}

int TGlobeLayer::IndexOfPresenter(const TGlobePresenter* p) const
{
    for (int i = 0; i < PresenterCount(); ++i)
        if (presenters_[static_cast<std::size_t>(i)].get() == p)
            return i;
    return PresenterCount();
}

TGlobePresenter* TGlobeLayer::FindPresenter(const std::string& name, std::int16_t featureID) const
{
    auto search = [&](const TGlobeLayer& layer) -> TGlobePresenter* {
        for (const auto& p : layer.presenters_) {
            if (featureID != 0 && p->FeatureID != featureID)
                continue;
            if (!name.empty()) {
                if (p->Name.size() != name.size() ||
                    !std::equal(name.begin(), name.end(), p->Name.begin(),
                                [](char a, char b) { return std::toupper((unsigned char)a) == std::toupper((unsigned char)b); }))
                    continue;
            }
            return p.get();
        }
        return nullptr;
    };
    if (TGlobePresenter* p = search(*this))
        return p;
    if (globe_ && this != &globe_->GlobalLayer())
        return search(globe_->GlobalLayer());
    return nullptr;
}

void TGlobeLayer::LoadFromFile()
{
    if (Filename.empty())
        return;
    std::string path = FilePath + Filename;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EGlobeException(GlobeFormat("LoadFromFile: File %s%s not found", FilePath.c_str(), Filename.c_str()));
    if (Name.empty())
        Name = fs::path(Filename).stem().string();
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    LoadFromStream(bytes, Filename);
}

void TGlobeLayer::LoadFromStream(std::string_view bytes, const std::string& fileName)
{
    TGlobeReader r(bytes, fileName);
    ClearObjects();
    std::uint16_t version = r.U16();
    if (version < LAYER_FILE_OLD_VERSION || version > LAYER_FILE_VERSION)
        throw EGlobeException(GlobeFormat("LoadFromFile: Invalid File Version %X in %s", version, fileName.c_str()));
    r.Version = version;
    TGlobeRect fileRect;
    fileRect.left = r.I32();
    fileRect.top = r.I32();
    fileRect.width = r.I32();
    fileRect.height = r.I32();
    try {
        while (!r.AtEnd()) {
            std::int32_t count = r.I32();
            if (count == 0)
                break;
            if (count < 0)
                r.Truncated();
            std::string cls = r.ShortString();
            const TGlobeCore::Factory* factory = globe_ ? globe_->FindClass(cls) : nullptr;
            if (!factory)
                throw EGlobeException(GlobeFormat("LoadFromFile: Unknown Globe Object Class %s in %s", cls.c_str(), fileName.c_str()));
            // Every record takes at least 4 bytes: a count larger than that is a damaged file.
            r.CheckCount(static_cast<std::uint64_t>(count), 4);
            for (std::int32_t i = 0; i < count; ++i) {
                std::unique_ptr<TGlobePersistent> rec = (*factory)(this);
                if (auto* pres = dynamic_cast<TGlobePresenter*>(rec.get())) {
                    rec.release();
                    TGlobePresenter* p = AddPresenter(std::unique_ptr<TGlobePresenter>(pres));
                    p->LoadFromStream(r);
                } else if (auto* obj = dynamic_cast<TGlobeObject*>(rec.get())) {
                    rec.release();
                    std::unique_ptr<TGlobeObject> owned(obj);
                    owned->LoadFromStream(r);
                    AddObject(std::move(owned));
                } else {
                    r.Truncated(); // attributes are not records of their own
                }
                if (i % 1000 == 0 && i > 0 && globe_)
                    globe_->DoProgress(3, GlobeFormat("%s Loaded %d objects", Name.c_str(), i));
            }
        }
    } catch (...) {
        ClearObjects();
        throw;
    }
    loaded_ = true;
    if (globe_)
        globe_->DoProgress(3, GlobeFormat("%s Loaded %d objects", Name.c_str(), ObjectCount()));
    rect = objects_.empty() ? fileRect : TGlobeRect{};
    for (const auto& o : objects_)
        o->ComputeBounds();
}

std::string TGlobeLayer::SaveToBytes()
{
    RemoveUnusedPresenters();
    if (rect.width == 0 || rect.height == 0)
        UpdateExtent();
    TGlobeWriter w;
    w.U16(LAYER_FILE_VERSION);
    w.I32(rect.left);
    w.I32(rect.top);
    w.I32(rect.width);
    w.I32(rect.height);
    auto blocks = [&](auto& list) {
        std::map<std::string, std::vector<TGlobePersistent*>> byClass;
        for (const auto& item : list)
            byClass[item->ClassName()].push_back(item.get());
        std::vector<std::string> order = globe_ ? globe_->ClassOrder() : std::vector<std::string>{};
        for (const auto& [name, items] : byClass)
            if (std::find(order.begin(), order.end(), name) == order.end())
                order.push_back(name);
        for (const std::string& name : order) {
            auto it = byClass.find(name);
            if (it == byClass.end())
                continue;
            w.I32(static_cast<std::int32_t>(it->second.size()));
            w.ShortString(name);
            for (TGlobePersistent* item : it->second)
                item->SaveToStream(w);
        }
    };
    for (const auto& o : objects_)
        if (auto* chain = dynamic_cast<TGeoDataObject*>(o.get()))
            chain->RemoveRepeats();
    blocks(presenters_);
    blocks(objects_);
    w.I32(0);
    return w.Bytes;
}

void TGlobeLayer::SaveToFile(const std::string& fileName)
{
    std::string bytes = SaveToBytes();
    std::string tmp = fileName + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            std::remove(tmp.c_str());
            throw EGlobeException(GlobeFormat("SaveToFile: Cannot write %s", fileName.c_str()));
        }
    }
    if (std::rename(tmp.c_str(), fileName.c_str()) != 0) {
        std::remove(tmp.c_str());
        throw EGlobeException(GlobeFormat("SaveToFile: Cannot write %s", fileName.c_str()));
    }
    fs::path p(fileName);
    Filename = p.filename().string();
    FilePath = p.has_parent_path() ? p.parent_path().string() + "/" : std::string();
}

void TGlobeLayer::ReadLayerSettings(const std::string& fileName)
{
    loaded_ = false;
    if (fileName.empty())
        return;
    if (globe_)
        globe_->DoProgress(1, GlobeFormat("Loading Layer %s", fileName.c_str()));
    fs::path p(fileName);
    Filename = p.filename().string();
    FilePath = p.has_parent_path() ? p.parent_path().string() + "/" : (globe_ ? globe_->DataDirectory : std::string());
    if (TGlobeProfile* prof = globe_ ? globe_->Profile() : nullptr) {
        const std::string& s = Filename;
        Name = prof->ReadString(s, "Name", Name);
        Enabled = prof->ReadBool(s, "Enabled", true);
        Visible = prof->ReadBool(s, "Visible", true);
        Animated = prof->ReadBool(s, "Animated", false);
        LoadOnDemand = prof->ReadBool(s, "LoadOnDemand", false);
        try {
            zoomUnits_ = StrToUnits(prof->ReadString(s, "ZoomUnits", "NM"));
        } catch (const EGlobeException&) {
            zoomUnits_ = TGlobeUnits::NauticalMile;
        }
        ZoomMin = prof->ReadInteger(s, "ZoomMin", 0);
        ZoomMax = prof->ReadInteger(s, "ZoomMax", 0);
        MaxFontHeight = prof->ReadInteger(s, "MaxFontHeight", 0);
    }
    if (!LoadOnDemand)
        LoadFromFile();
    if (globe_) {
        globe_->DoProgress(2, "");
        globe_->RedrawGlobe();
    }
}

void TGlobeLayer::WriteLayerSettings()
{
    TGlobeProfile* prof = globe_ ? globe_->Profile() : nullptr;
    if (!prof || Filename.empty())
        return;
    const std::string& s = Filename;
    prof->EraseSection(s);
    prof->WriteString(s, "Name", Name);
    if (!Enabled)
        prof->WriteBool(s, "Enabled", false);
    if (!Visible)
        prof->WriteBool(s, "Visible", false);
    if (Animated)
        prof->WriteBool(s, "Animated", true);
    if (LoadOnDemand)
        prof->WriteBool(s, "LoadOnDemand", true);
    if (zoomUnits_ != TGlobeUnits::NauticalMile)
        prof->WriteString(s, "ZoomUnits", UnitName(zoomUnits_));
    if (ZoomMin != 0)
        prof->WriteInteger(s, "ZoomMin", ZoomMin);
    if (ZoomMax != 0)
        prof->WriteInteger(s, "ZoomMax", ZoomMax);
    if (MaxFontHeight != 0)
        prof->WriteInteger(s, "MaxFontHeight", MaxFontHeight);
}

void TGlobeLayer::SetZoomUnits(TGlobeUnits unit)
{
    if (unit == zoomUnits_)
        return;
    auto convert = [&](std::int32_t v) {
        long double gu = static_cast<long double>(v) * UnitsPerUnit(zoomUnits_);
        double per = UnitsPerUnit(unit);
        return per == 0 ? v : RoundGU(gu / per);
    };
    ZoomMin = convert(ZoomMin);
    ZoomMax = convert(ZoomMax);
    zoomUnits_ = unit;
}

void TGlobeLayer::UpdateExtent()
{
    rect = {};
    if (objects_.empty())
        return;
    std::int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    for (const auto& o : objects_) {
        const TGlobeRect& b = o->Bounds();
        left = std::min<std::int64_t>(left, b.left);
        top = std::min<std::int64_t>(top, b.top);
        right = std::max<std::int64_t>(right, std::int64_t(b.left) + b.width);
        bottom = std::max<std::int64_t>(bottom, std::int64_t(b.top) + b.height);
    }
    left -= 1;
    top -= 1;
    auto clamp32 = [](std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
    rect = {clamp32(left), clamp32(top), clamp32(right - left), clamp32(bottom - top)};
}

bool TGlobeLayer::IsVisible()
{
    if (!Visible)
        return false;
    if (rect.width == 0 || rect.height == 0) {
        if (!loaded_ && !LoadOnDemand)
            LoadFromFile();
        UpdateExtent();
    }
    bool v = true;
    const std::int32_t alt = globe_->Altitude();
    if (ZoomMin > 0)
        v = UnitToGlobeUnits(zoomUnits_, ZoomMin) < alt;
    if (v && ZoomMax >= 1)
        v = UnitToGlobeUnits(zoomUnits_, ZoomMax) >= alt;
    if (LoadOnDemand && v != loaded_) {
        if (v) {
            LoadFromFile();
            UpdateExtent();
        } else {
            ClearObjects();
        }
    }
    if (v && !Animated && rect.width != 0 && rect.height != 0 && rect.width < GU_180) {
        int outcode = 0;
        return globe_->Model().ExtentVisible(rect, nullptr, outcode);
    }
    return v;
}

void TGlobeLayer::UpdateObjects()
{
    if (!IsVisible())
        return;
    for (const auto& o : objects_) {
        if (globe_->ScaleChanged || !(o->State & osBoundsValid)) {
            o->ComputeBounds();
            o->State |= osTest;
        }
        if (o->Hidden() || (o->State & osSubPixel)) {
            o->State &= ~osDraw;
        } else if (globe_->ReRender || (o->State & osTest)) {
            o->State &= ~(osDraw | osFarPart | osNearPart);
            if (o->IsOnScreen())
                o->State |= osDraw;
            else
                o->State &= ~osTest;
        }
    }
}

void TGlobeLayer::Render()
{
    if (globe_->Printing && globe_->PrintAborted)
        return;
    if (!Visible || !IsVisible())
        return;
    const std::uint16_t side = globe_->DrawingFarSide ? osFarPart : osNearPart;
    auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < objects_.size(); ++i) {
        TGlobeObject* o = objects_[i].get();
        if ((o->State & osDraw) && (o->State & side)) {
            bool done = false;
            if (globe_->OnRenderObject)
                globe_->OnRenderObject(o, done);
            if (!done)
                o->Render();
        }
        if (i % 255 == 0 && globe_->PeriodicUpdateTime > 0 && globe_->Surface) {
            auto now = std::chrono::steady_clock::now();
            if (std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count() > globe_->PeriodicUpdateTime) {
                globe_->Surface->Flush();
                start = now;
            }
        }
    }
    for (int i = 0; i < globe_->GlobalLayer().PresenterCount(); ++i)
        globe_->GlobalLayer().PresenterAt(i)->RenderTitles(*this);
    for (const auto& p : presenters_)
        p->RenderTitles(*this);
}

TGlobeObject* TGlobeLayer::ObjectAtLL(std::int32_t longitude, std::int32_t latitude)
{
    TGlobePoint p{NormalizeLongitude(longitude), latitude, 0};
    for (auto it = objects_.rbegin(); it != objects_.rend(); ++it)
        if ((*it)->ContainsLL(p))
            return it->get();
    return nullptr;
}

TGlobeObject* TGlobeLayer::ObjectAtXY(std::int32_t x, std::int32_t y)
{
    TGlobePoint p;
    if (!globe_->Model().XYToLL(x, y, p) || !IsVisible() || objects_.empty())
        return nullptr;
    const int n = ObjectCount();
    int start = n - 1;
    const auto& sel = globe_->Selection();
    if (!sel.empty())
        for (int i = 0; i < n; ++i)
            if (objects_[static_cast<std::size_t>(i)].get() == sel.back() && sel.back()->ContainsLL(p))
                start = (i - 1 + n) % n;
    for (int k = 0; k < n; ++k) {
        TGlobeObject* o = objects_[static_cast<std::size_t>((start - k + n) % n)].get();
        if ((o->State & osDraw) && o->ContainsLL(p))
            return o;
    }
    return nullptr;
}

TGlobeObject* TGlobeLayer::FindByTitle(const std::string& title, const TGlobeObject* after) const
{
    bool started = after == nullptr;
    for (const auto& o : objects_) {
        if (!started) {
            started = o.get() == after;
            continue;
        }
        if (o->Title == title)
            return o.get();
    }
    return nullptr;
}

TGlobeObject* TGlobeLayer::FindByID(std::int32_t id) const
{
    for (const auto& o : objects_)
        if (o->ID == id)
            return o.get();
    return nullptr;
}

} // namespace korval
