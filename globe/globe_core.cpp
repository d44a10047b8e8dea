#include "globe/globe_core.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "globe/great_circle.h"

namespace korval {

namespace fs = std::filesystem;

namespace {
constexpr std::size_t kBufferPoints = 65537;
constexpr double kMaxScale = 4.0;
const double kTan50 = std::tan(50.0 * PI / 180.0);

std::string WithSlash(std::string s)
{
    std::replace(s.begin(), s.end(), '\\', '/');
    if (!s.empty() && s.back() != '/')
        s += '/';
    return s;
}

template <class T> std::unique_ptr<TGlobePersistent> Make(TGlobeLayer* layer) { return std::make_unique<T>(layer); }

long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

long long YearOfDays(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return static_cast<long long>(yoe) + era * 400 + (m <= 2);
}
} // namespace

std::string GlobeViewToBytes(const TGlobeView& v)
{
    std::string b(GLOBE_VIEW_BYTES, '\0');
    // 80-bit extended: sign and 15-bit exponent (bias 16383) over a 64-bit mantissa whose top
    // bit is the integer bit.
    if (v.scale != 0 && std::isfinite(v.scale)) {
        int e = 0;
        const double m = std::frexp(std::fabs(v.scale), &e);
        const std::uint64_t mant = static_cast<std::uint64_t>(std::ldexp(m, 64));
        const std::uint16_t se = static_cast<std::uint16_t>((v.scale < 0 ? 0x8000 : 0) | (e - 1 + 16383));
        for (int i = 0; i < 8; ++i)
            b[std::size_t(i)] = static_cast<char>((mant >> (8 * i)) & 0xFF);
        b[8] = static_cast<char>(se & 0xFF);
        b[9] = static_cast<char>(se >> 8);
    }
    const std::int32_t ints[5] = {v.xOrigin, v.yOrigin, v.xRotation, v.yRotation, v.zRotation};
    for (int k = 0; k < 5; ++k)
        for (int i = 0; i < 4; ++i)
            b[std::size_t(12 + 4 * k + i)] = static_cast<char>((std::uint32_t(ints[k]) >> (8 * i)) & 0xFF);
    return b;
}

bool GlobeViewFromBytes(std::string_view b, TGlobeView& v)
{
    if (b.size() != GLOBE_VIEW_BYTES)
        return false;
    auto byte = [&](std::size_t i) { return std::uint64_t(std::uint8_t(b[i])); };
    std::uint64_t mant = 0;
    for (int i = 0; i < 8; ++i)
        mant |= byte(std::size_t(i)) << (8 * i);
    const std::uint16_t se = static_cast<std::uint16_t>(byte(8) | byte(9) << 8);
    const int e = se & 0x7FFF;
    double scale = (mant == 0 && e == 0) ? 0.0 : std::ldexp(static_cast<double>(mant), e - 16383 - 63);
    if ((se & 0x8000) || e == 0x7FFF || !std::isfinite(scale))
        return false;
    TGlobeView r;
    r.scale = scale;
    std::int32_t* ints[5] = {&r.xOrigin, &r.yOrigin, &r.xRotation, &r.yRotation, &r.zRotation};
    for (int k = 0; k < 5; ++k) {
        std::uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= std::uint32_t(byte(std::size_t(12 + 4 * k + i))) << (8 * i);
        *ints[k] = static_cast<std::int32_t>(u);
    }
    v = r;
    return true;
}

TGlobeCore::TGlobeCore() : buf_(kBufferPoints), buf2_(kBufferPoints)
{
    RegisterGlobeClass("TGlobePen", Make<TGlobePen>);
    RegisterGlobeClass("TGlobeBrush", Make<TGlobeBrush>);
    RegisterGlobeClass("TGlobeFont", Make<TGlobeFont>);
    RegisterGlobeClass("TPointPresenter", Make<TPointPresenter>);
    RegisterGlobeClass("TPolygonPresenter", Make<TPolygonPresenter>);
    RegisterGlobeClass("TPolylinePresenter", Make<TPolylinePresenter>);
    RegisterGlobeClass("TGeoDataObject", Make<TGeoDataObject>);
    RegisterGlobeClass("TBitmapObject", Make<TBitmapObject>);
    globalLayer_ = std::make_unique<TGlobeLayer>(this);
    globalLayer_->Name = "GlobalLayer";
    model_ = std::make_unique<TSphericalPrj>(*this);
    ClearLayers();
}

TGlobeCore::~TGlobeCore()
{
    destroying_ = true;
    selection_.clear();
    layers_.clear();
    globalLayer_.reset();
}

void TGlobeCore::SetBufferPoint(int index, TScreenPoint p)
{
    if (index < 0)
        return;
    EnsureBuffer(static_cast<std::size_t>(index) + 1);
    buf_[static_cast<std::size_t>(index)] = p;
}

void TGlobeCore::EnsureBuffer(std::size_t count)
{
    if (buf_.size() < count) {
        buf_.resize(std::max(count, buf_.size() + buf_.size() / 2));
        buf2_.resize(buf_.size());
    }
}

void TGlobeCore::UpdateViewRect()
{
    double s = Scale();
    viewRect_ = s > 0 ? TGlobeRect{0, 0, RoundGU(width_ / s), RoundGU(height_ / s)} : TGlobeRect{};
}

void TGlobeCore::SetSize(int width, int height, int ppi)
{
    if (width <= 0 || height <= 0 || ppi <= 0)
        return;
    const double r = std::hypot(double(width), double(height)) / std::hypot(double(width_), double(height_));
    width_ = width;
    height_ = height;
    canvasPPI_ = ppi;
    model_->XOrigin = static_cast<std::int32_t>(std::lround(model_->XOrigin * r));
    model_->YOrigin = static_cast<std::int32_t>(std::lround(model_->YOrigin * r));
    double s = std::min(Scale() * r, kMaxScale);
    const double big = std::max(width, height);
    if (s > 0 && big / s > 2147483647.0)
        s = big / 2147483647.0;
    if (s != Scale()) {
        ScaleChanged = true;
        model_->SetScaleFactor(s);
    }
    UpdateViewRect();
    RedrawGlobe();
}

void TGlobeCore::SetProjectionModel(std::unique_ptr<TPrjModel> model)
{
    if (!model)
        model = std::make_unique<TSphericalPrj>(*this);
    TGlobePoint centre;
    const TPrjModel &next = *model, &current = *model_;
    const bool differs = typeid(next) != typeid(current);
    const bool onMap = differs && ScreenToGlobe(width_ / 2, height_ / 2, centre);
    model_ = std::move(model);
    if (dynamic_cast<TMercatorPrj*>(model_.get()))
        projection_ = gpMercator;
    else if (dynamic_cast<TCartesianPrj*>(model_.get()))
        projection_ = gpCartesian;
    else if (dynamic_cast<TSphericalPrj*>(model_.get()))
        projection_ = gpSpherical;
    else
        projection_ = gpUnknown;
    for (const auto& l : layers_)
        for (int i = 0; i < l->ObjectCount(); ++i)
            l->Object(i)->Changed();
    ScaleChanged = true;
    UpdateViewRect();
    if (onMap)
        CentreOnLL(centre.iLongX, centre.iLatY);
    RedrawGlobe();
}

void TGlobeCore::SetProjection(TGlobeProjection p)
{
    switch (p) {
    case gpCartesian: SetProjectionModel(std::make_unique<TCartesianPrj>(*this)); break;
    case gpMercator: SetProjectionModel(std::make_unique<TMercatorPrj>(*this)); break;
    default: SetProjectionModel(std::make_unique<TSphericalPrj>(*this)); break;
    }
}

void TGlobeCore::SetScale(double s)
{
    if (s < 0 || !(s == s))
        return;
    if (s == 0) {
        model_->XOrigin = width_ / 2;
        model_->YOrigin = height_ / 2;
        double ew = std::fabs(double(model_->ExtentRight) - model_->ExtentLeft);
        double eh = std::fabs(double(model_->ExtentBottom) - model_->ExtentTop);
        s = std::min(ew > 0 ? width_ / ew : kMaxScale, eh > 0 ? height_ / eh : kMaxScale);
    }
    s = std::min(s, kMaxScale);
    const double big = std::max(width_, height_);
    if (s > 0 && big / s > 2147483647.0)
        s = big / 2147483647.0;
    const double old = Scale();
    if (s != old) {
        if (old > 0) {
            model_->XOrigin = static_cast<std::int32_t>(std::lround((model_->XOrigin - width_ / 2) / old * s)) + width_ / 2;
            model_->YOrigin = static_cast<std::int32_t>(std::lround((model_->YOrigin - height_ / 2) / old * s)) + height_ / 2;
        }
        altitude_ = RoundGU(width_ / s / kTan50);
        model_->SetScaleFactor(s);
        UpdateViewRect();
        ScaleChanged = true;
        RedrawGlobe();
        if (OnZoomed)
            OnZoomed();
    }
}

void TGlobeCore::ViewRect(const TGlobeRect& r)
{
    if (r.width == 0 || r.height == 0) {
        SetScale(0);
        return;
    }
    const double old = Scale();
    double s = std::min(double(width_) / r.width, double(height_) / r.height);
    s = std::min(s, kMaxScale);
    if (old > 0) {
        model_->XOrigin = static_cast<std::int32_t>(std::lround((model_->XOrigin / old - (r.left + r.width / 2.0)) * s)) + width_ / 2;
        model_->YOrigin = static_cast<std::int32_t>(std::lround((model_->YOrigin / old - (r.top + r.height / 2.0)) * s)) + height_ / 2;
    }
    const double big = std::max(width_, height_);
    if (s > 0 && big / s > 2147483647.0)
        s = big / 2147483647.0;
    if (s != old) {
        altitude_ = RoundGU(width_ / s / kTan50);
        model_->SetScaleFactor(s);
        UpdateViewRect();
        ScaleChanged = true;
        if (OnZoomed)
            OnZoomed();
    }
    RedrawGlobe();
}

void TGlobeCore::ScrollBy(std::int32_t dx, std::int32_t dy)
{
    if (dx != 0 || dy != 0) {
        model_->XOrigin -= static_cast<std::int32_t>(std::lround(dx * Scale()));
        model_->YOrigin -= static_cast<std::int32_t>(std::lround(dy * Scale()));
        if (OnPanned)
            OnPanned();
    }
    RedrawGlobe();
}

void TGlobeCore::SetViewCentre(TScreenPoint p)
{
    if (p.x != model_->XOrigin || p.y != model_->YOrigin) {
        model_->XOrigin = p.x;
        model_->YOrigin = p.y;
        if (OnPanned)
            OnPanned();
    }
    RedrawGlobe();
}

void TGlobeCore::ScrollInfo(bool horizontal, std::int32_t& min, std::int32_t& max, std::int32_t& page,
                            std::int32_t& pos) const
{
    const double s = Scale();
    page = horizontal ? viewRect_.width : viewRect_.height;
    const std::int64_t lo = horizontal ? model_->ExtentLeft : model_->ExtentTop;
    const std::int64_t hi = horizontal ? model_->ExtentRight : model_->ExtentBottom;
    min = -static_cast<std::int32_t>(std::min<std::int64_t>(1073741823, std::llabs(lo - page)));
    max = static_cast<std::int32_t>(std::min<std::int64_t>(1073741823, std::llabs(hi + page)));
    const std::int32_t origin = horizontal ? model_->XOrigin : model_->YOrigin;
    const int half = horizontal ? width_ / 2 : height_ / 2;
    pos = -(page / 2) - (s > 0 ? RoundGU((origin - half) / s) : 0);
}

void TGlobeCore::SetAltitude(std::int32_t a)
{
    if (a == 0) {
        SetScale(0);
        return;
    }
    SetScale(width_ / (kTan50 * a));
    altitude_ = a;
}

TGlobeView TGlobeCore::SaveView() const
{
    return {Scale(), model_->XOrigin, model_->YOrigin, model_->XRotation(), model_->YRotation(), model_->ZRotation()};
}

void TGlobeCore::RestoreView(const TGlobeView& v)
{
    SetScale(v.scale);
    model_->SetIntegerProperty(ppXRotation, v.xRotation);
    model_->SetIntegerProperty(ppYRotation, v.yRotation);
    model_->SetIntegerProperty(ppZRotation, v.zRotation);
    SetViewCentre({v.xOrigin, v.yOrigin});
}

bool TGlobeCore::ScreenToGlobe(std::int32_t x, std::int32_t y, TGlobePoint& p)
{
    if (model_->XYToLL(x, y, p))
        return true;
    p = MakeGlobePoint(GU_180, GU_180);
    return false;
}

void TGlobeCore::CentreOnLL(std::int32_t longitude, std::int32_t latitude)
{
    model_->XOrigin = width_ / 2;
    model_->YOrigin = height_ / 2;
    TGlobePoint c;
    if (!model_->XYToLL(width_ / 2, height_ / 2, c))
        return;
    model_->SetIntegerProperty(ppXRotation, static_cast<std::int32_t>(std::int64_t(model_->XRotation()) - (std::int64_t(c.iLatY) - latitude)));
    // The latitude first: at a pole the centre has no longitude of its own, so the longitude is
    // read again once the centre has left it.
    if (!model_->XYToLL(width_ / 2, height_ / 2, c))
        return;
    model_->SetIntegerProperty(ppYRotation, NormalizeLongitude(std::int64_t(model_->YRotation()) +
                                                               NormalizeLongitude(std::int64_t(longitude) - c.iLongX)));
    ScaleChanged = true;
    RedrawGlobe();
}

namespace {
std::int64_t RotationUnits(int index)
{
    if (index & 4)
        return GU_DEGREE;
    if (index & 8)
        return GU_MINUTE;
    if (index & 16)
        return GU_SECOND;
    return 1;
}
int RotationProperty(int index)
{
    switch (index & 3) {
    case 0: return ppZRotation;
    case 1: return ppYRotation;
    default: return ppXRotation;
    }
}
} // namespace

void TGlobeCore::SetRotation(int index, std::int32_t value)
{
    std::int64_t v = std::int64_t(value) * RotationUnits(index);
    model_->SetIntegerProperty(RotationProperty(index), NormalizeLongitude(std::clamp<std::int64_t>(v, -GU_180, GU_180 - 1)));
    ScaleChanged = true;
    RedrawGlobe();
}

std::int32_t TGlobeCore::GetRotation(int index) const
{
    int p = RotationProperty(index);
    std::int32_t v = p == ppXRotation ? model_->XRotation() : p == ppYRotation ? model_->YRotation() : model_->ZRotation();
    return static_cast<std::int32_t>(v / RotationUnits(index));
}

std::int32_t TGlobeCore::UnitToGlobeUnits(TGlobeUnits unit, double value) const
{
    if (unit == TGlobeUnits::Pixel)
        return Scale() > 0 ? RoundGU(value / Scale()) : 0;
    return ::korval::UnitToGlobeUnits(unit, value);
}

long double TGlobeCore::GlobeUnitsToUnit(double value, TGlobeUnits unit) const
{
    if (unit == TGlobeUnits::Pixel)
        return value * Scale();
    return ::korval::GlobeUnitsToUnit(value, unit);
}

int TGlobeCore::SizeToPixels(double size, TGlobeUnits unit) const
{
    if (unit == TGlobeUnits::Pixel)
        return ScreenPPI > 0 ? static_cast<int>(std::lround(size * canvasPPI_ / ScreenPPI)) : static_cast<int>(size);
    return static_cast<int>(std::clamp<long double>(std::round(::korval::UnitToGlobeUnits(unit, size) * Scale()), -1e6L, 1e6L));
}

TGlobeLayer* TGlobeCore::AddLayer()
{
    layers_.push_back(std::make_unique<TGlobeLayer>(this));
    LayersModified = true;
    RedrawGlobe();
    return layers_.back().get();
}

TGlobeLayer& TGlobeCore::GetLayer(int index)
{
    if (index < 0 || index >= LayerCount())
        throw EGlobeException(GlobeFormat("TGlobe3.GetLayer: Bad layer index %d", index));
    return *layers_[static_cast<std::size_t>(index)];
}

void TGlobeCore::RemoveLayer(TGlobeLayer* layer)
{
    auto it = std::find_if(layers_.begin(), layers_.end(), [&](const auto& l) { return l.get() == layer; });
    if (it == layers_.end())
        return;
    (*it)->ClearObjects();
    layers_.erase(it);
    LayersModified = true;
    RedrawGlobe();
}

void TGlobeCore::ClearLayers()
{
    SetSelectedObject(nullptr);
    profile_.reset();
    while (!layers_.empty()) {
        layers_.back()->ClearObjects();
        layers_.pop_back();
    }
    globalLayer_->ClearObjects();
    auto add = [&](std::unique_ptr<TGlobePresenter> p, std::int16_t id, const char* name) {
        TGlobePresenter* pr = globalLayer_->AddPresenter(std::move(p));
        pr->Name_FeatureID(id, name);
    };
    add(std::make_unique<TPointPresenter>(globalLayer_.get()), -1, "GlobalPointPresenter");
    add(std::make_unique<TPolylinePresenter>(globalLayer_.get()), -2, "GlobalPolylinePresenter");
    add(std::make_unique<TPolygonPresenter>(globalLayer_.get()), -3, "GlobalPolygonPresenter");
    LayersModified = true;
    RedrawGlobe();
}

TGlobeObject* TGlobeCore::ObjectAtLL(std::int32_t longitude, std::int32_t latitude)
{
    for (int i = LayerCount() - 1; i >= 0; --i)
        if (TGlobeObject* o = layers_[static_cast<std::size_t>(i)]->ObjectAtLL(longitude, latitude))
            return o;
    return nullptr;
}

TGlobeObject* TGlobeCore::ObjectAtXY(std::int32_t x, std::int32_t y)
{
    for (int i = LayerCount() - 1; i >= 0; --i) {
        TGlobeLayer& l = *layers_[static_cast<std::size_t>(i)];
        if (l.Enabled && l.Visible)
            if (TGlobeObject* o = l.ObjectAtXY(x, y))
                return o;
    }
    return nullptr;
}

void TGlobeCore::RegisterGlobeClass(const std::string& name, Factory factory)
{
    if (classes_.count(name))
        throw EGlobeException(GlobeFormat("TGlobe3.RegisterGlobeClass: Class %s already registered", name.c_str()));
    classes_[name] = std::move(factory);
    classOrder_.clear();
    for (const auto& [n, f] : classes_)
        classOrder_.push_back(n);
}

const TGlobeCore::Factory* TGlobeCore::FindClass(const std::string& name) const
{
    auto it = classes_.find(name);
    return it == classes_.end() ? nullptr : &it->second;
}

std::string TGlobeCore::ProfileName() const { return profile_ ? profile_->FileName() : std::string(); }

void TGlobeCore::SetProfileName(const std::string& name, std::vector<std::string>* layerErrors)
{
    if (name == ProfileName() && (profile_ || name.empty()))
        return;
    ClearLayers();
    if (name.empty())
        return;
    fs::path path(name);
    std::string folder = path.has_parent_path() ? WithSlash(path.parent_path().string()) : WithSlash(fs::current_path().string());
    profile_ = std::make_unique<TGlobeProfile>(folder + path.filename().string());
    std::string dir = profile_->ReadString("Global Settings", "DataDirectory", DataDirectory);
    std::replace(dir.begin(), dir.end(), '\\', '/');
    if (dir.empty() || fs::path(dir).is_relative())
        dir = folder + dir;
    DataDirectory = WithSlash(dir);
    for (int i = 0; i < 32768; ++i) {
        std::string entry = profile_->ReadString("LayerList", std::to_string(i), "");
        if (entry.empty())
            break;
        std::replace(entry.begin(), entry.end(), '\\', '/');
        std::string file = entry.find('/') != std::string::npos ? (fs::path(entry).is_absolute() ? entry : folder + entry)
                                                                : DataDirectory + entry;
        TGlobeLayer* layer = AddLayer();
        try {
            layer->ReadLayerSettings(file);
        } catch (const EGlobeException& e) {
            if (!layerErrors)
                throw;
            layer->ClearObjects();
            layer->LoadError = e.what();
            layer->Visible = layer->Enabled = false;
            layerErrors->push_back(e.what());
        }
    }
}

void TGlobeCore::SaveProfile(const std::string& name)
{
    fs::path path(name);
    std::string folder = path.has_parent_path() ? WithSlash(path.parent_path().string()) : WithSlash(fs::current_path().string());
    std::string file = folder + path.filename().string();
    if (!profile_ || profile_->FileName() != file)
        profile_ = std::make_unique<TGlobeProfile>(file);
    profile_->WriteString("Global Settings", "DataDirectory", DataDirectory);
    profile_->EraseSection("LayerList");
    int n = 0;
    for (const auto& l : layers_) {
        if (l->Filename.empty())
            continue;
        l->WriteLayerSettings();
        std::error_code ec;
        std::string rel = fs::relative(fs::path(l->FilePath + l->Filename), fs::path(folder), ec).string();
        profile_->WriteString("LayerList", std::to_string(n++), ec || rel.empty() ? l->FilePath + l->Filename : rel);
    }
    if (!profile_->Save())
        throw EGlobeException(GlobeFormat("SaveProfile: Cannot write %s", file.c_str()));
}

void TGlobeCore::SetSelectedObject(TGlobeObject* object)
{
    if (!selection_.empty() && selection_.back() == object)
        return;
    if (selection_.empty() && !object)
        return;
    if (!selection_.empty() && !destroying_ && OnDeSelected)
        OnDeSelected(selection_.back());
    for (auto it = selection_.rbegin(); it != selection_.rend(); ++it)
        (*it)->State &= ~osSelected;
    selection_.clear();
    if (object) {
        object->State |= osSelected;
        selection_.push_back(object);
        if (OnSelected)
            OnSelected(object);
    }
    RedrawGlobe();
}

void TGlobeCore::SetObjectSelected(TGlobeObject* object, bool selected)
{
    if (!object || object->Selected() == selected)
        return;
    if (selected) {
        object->State |= osSelected;
        selection_.push_back(object);
    } else {
        object->State &= ~osSelected;
        selection_.erase(std::remove(selection_.begin(), selection_.end(), object), selection_.end());
    }
    if (OnObjectSelect)
        OnObjectSelect(object);
    RedrawGlobe();
}

void TGlobeCore::ForgetObject(TGlobeObject* object)
{
    selection_.erase(std::remove(selection_.begin(), selection_.end(), object), selection_.end());
    if (!destroying_ && OnObjectFree)
        OnObjectFree(object);
}

void TGlobeCore::RedrawGlobe()
{
    ReRender = true;
    if (OnInvalidate)
        OnInvalidate();
}

bool TGlobeCore::DoProgress(int type, const std::string& text)
{
    bool abort = false;
    if (OnProgress)
        OnProgress(type, text, abort);
    return abort;
}

void TGlobeCore::PaintGrid()
{
    if (!Surface)
        return;
    Surface->SetPen(DrawingFarSide ? TransparentPen : GridPen);
    Surface->SetBrush({0, bsClear});
    if (OnPaintGraticule)
        OnPaintGraticule();
    else
        model_->PaintGraticule();
}

void TGlobeCore::RenderLayers()
{
    // A layer whose file cannot be read is switched off: the paint goes on without it.
    auto safely = [&](TGlobeLayer& l, auto&& work) {
        try {
            work(l);
        } catch (const EGlobeException& e) {
            l.LoadError = e.what();
            l.Visible = l.Enabled = false;
        }
    };
    for (const auto& l : layers_)
        if (!l->Animated)
            safely(*l, [](TGlobeLayer& x) { x.UpdateObjects(); });
    if (TransparentGlobe) {
        DrawingFarSide = true;
        for (const auto& l : layers_)
            if (!l->Animated)
                safely(*l, [](TGlobeLayer& x) { x.Render(); });
        if (DrawGrid != dgNone)
            PaintGrid();
        DrawingFarSide = false;
    }
    if (DrawGrid == dgBehind)
        PaintGrid();
    for (const auto& l : layers_)
        if (!l->Animated)
            safely(*l, [](TGlobeLayer& x) { x.Render(); });
    if (DrawGrid == dgInFront)
        PaintGrid();
}

void TGlobeCore::Render(bool printing)
{
    if (!Surface)
        return;
    if (!printing) {
        Surface->Fill(Color);
        if (!TransparentGlobe)
            model_->PaintSurface();
    }
    RenderLayers();
    if (OnRender && !(printing && PrintAborted))
        OnRender();
    ReRender = false;
    ScaleChanged = false;
}

void TGlobeCore::RenderAnimated()
{
    for (const auto& l : layers_)
        if (l->Animated) {
            try {
                l->UpdateObjects();
                l->Render();
            } catch (const EGlobeException& e) {
                l->LoadError = e.what();
                l->Visible = l->Enabled = false;
            }
        }
}

int TGlobeCore::Clip(int count, bool closed)
{
    const std::int64_t w = width_, h = height_;
    struct Pass {
        bool vertical;
        std::int64_t bound;
        bool (*outside)(const TScreenPoint&, std::int64_t, std::int64_t);
    };
    const Pass passes[4] = {
        {false, -1, [](const TScreenPoint& p, std::int64_t, std::int64_t) { return p.y < 0; }},
        {true, w, [](const TScreenPoint& p, std::int64_t w_, std::int64_t) { return p.x > w_; }},
        {false, h, [](const TScreenPoint& p, std::int64_t, std::int64_t h_) { return p.y > h_; }},
        {true, -1, [](const TScreenPoint& p, std::int64_t, std::int64_t) { return p.x < 0; }},
    };
    auto mulDiv = [](std::int64_t a, std::int64_t b, std::int64_t c) -> std::int64_t {
        if (c == 0)
            return 0;
        long double r = static_cast<long double>(a) * b / c;
        return static_cast<std::int64_t>(std::llround(r));
    };
    int n = count;
    for (const Pass& pass : passes) {
        if (n <= 1)
            break;
        EnsureBuffer(static_cast<std::size_t>(2 * n + 2));
        buf2_.resize(buf_.size());
        int out = 0;
        auto cross = [&](const TScreenPoint& a, const TScreenPoint& b) {
            TScreenPoint c;
            if (pass.vertical) {
                c.x = static_cast<std::int32_t>(pass.bound);
                c.y = static_cast<std::int32_t>(b.y + mulDiv(pass.bound - b.x, std::int64_t(a.y) - b.y, std::int64_t(a.x) - b.x));
            } else {
                c.y = static_cast<std::int32_t>(pass.bound);
                c.x = static_cast<std::int32_t>(b.x + mulDiv(pass.bound - b.y, std::int64_t(a.x) - b.x, std::int64_t(a.y) - b.y));
            }
            buf2_[static_cast<std::size_t>(out++)] = c;
        };
        int start = closed ? 0 : 1;
        if (!closed && !pass.outside(buf_[0], w, h))
            buf2_[static_cast<std::size_t>(out++)] = buf_[0];
        for (int i = start; i < n; ++i) {
            const TScreenPoint& prev = buf_[static_cast<std::size_t>(i == 0 ? n - 1 : i - 1)];
            const TScreenPoint& cur = buf_[static_cast<std::size_t>(i)];
            bool po = pass.outside(prev, w, h), co = pass.outside(cur, w, h);
            if (!co) {
                if (po)
                    cross(prev, cur);
                buf2_[static_cast<std::size_t>(out++)] = cur;
            } else if (!po) {
                cross(prev, cur);
            }
        }
        std::swap(buf_, buf2_);
        n = out;
    }
    return n;
}

void TGlobeCore::PolylineClipped(int count)
{
    int n = Clip(count, false);
    if (n >= 2 && Surface)
        Surface->Polyline(buf_.data(), n);
}

void TGlobeCore::PolygonClipped(int count)
{
    int n = Clip(count, true);
    if (n >= 2 && Surface)
        Surface->Polygon(buf_.data(), n);
}

void TGlobeCore::DrawLineLL(const TGlobePoint& from, const TGlobePoint& to)
{
    TScreenPoint a, b;
    if (Surface && model_->Project(from, a) && model_->Project(to, b)) {
        EnsureBuffer(2);
        buf_[0] = a;
        buf_[1] = b;
        PolylineClipped(2);
    }
}

void TGlobeCore::DrawPolylineLL(const std::vector<TVector>& vectors)
{
    if (!Surface)
        return;
    EnsureBuffer(vectors.size() + 1);
    int n = 0;
    std::int32_t lastRel = 0;
    const bool flat = !model_->IsSpherical();
    for (const TVector& v : vectors) {
        TGlobePoint p = UnitVectorToPoint(v);
        std::int32_t rel = NormalizeLongitude(std::int64_t(p.iLongX) - model_->CentralMeridian());
        bool jump = flat && n > 0 && std::llabs(std::int64_t(rel) - lastRel) > GU_180;
        if (jump || !model_->PointLLToXY(p, n)) {
            if (n > 1)
                PolylineClipped(n);
            n = 0;
            if (!jump || !model_->PointLLToXY(p, n)) {
                lastRel = rel;
                continue;
            }
        }
        lastRel = rel;
        ++n;
    }
    if (n > 1)
        PolylineClipped(n);
}

void TGlobeCore::DrawGreatCircle(const TGlobePoint& from, const TGlobePoint& to, int mode)
{
    const std::vector<TVector> pts = GreatCirclePath(from, to, mode);
    if (!pts.empty())
        DrawPolylineLL(pts);
    else if (mode == 0) // less than a degree: a straight line
        DrawLineLL(from, to);
}

void TGlobeCore::DrawCircle(const TGlobePoint& centre, std::int32_t radius, int vertices)
{
    if (vertices < 3 || vertices > 360)
        vertices = 36;
    const TVector axis = PointToUnitVector(centre);
    std::int64_t lat = std::int64_t(centre.iLatY) + radius;
    std::int64_t lon = centre.iLongX;
    if (lat > GU_90) { // over the pole: the same point seen from the other side
        lat = GU_180 - lat;
        lon += GU_180;
    }
    const TVector first = PointToUnitVector(MakeGlobePoint(lon, static_cast<std::int32_t>(lat)));
    std::vector<TVector> pts;
    for (int i = 0; i <= vertices; ++i)
        pts.push_back(RotateVector(first, axis, 2 * PI * i / vertices));
    DrawPolylineLL(pts);
}

void TGlobeCore::DrawTextLL(std::int32_t longitude, std::int32_t latitude, TGlobeUnits unit, const std::string& text,
                            const TFontSpec& font, double fontSize)
{
    TScreenPoint s;
    if (!Surface || !model_->Project(MakeGlobePoint(longitude, latitude), s))
        return;
    int h = unit == TGlobeUnits::Pixel ? SizeToPixels(fontSize, unit)
                                       : static_cast<int>(std::lround(::korval::UnitToGlobeUnits(unit, fontSize) * Scale()));
    if (h < MinTextHeight)
        return;
    TFontSpec f = font;
    f.pixelHeight = h;
    Surface->SetFont(f);
    Surface->Text(s.x, s.y, text, 0);
}

void TGlobeCore::DrawDayNight(std::uint32_t night, std::uint32_t twilight, TGlobePoint& sun, int step, double dateTime)
{
    const long long day = static_cast<long long>(std::trunc(dateTime));
    const long long year = YearOfDays(day - 25569);
    const long long dec21 = DaysFromCivil(year - 1, 12, 21) + 25569;
    const long double days = static_cast<long double>(day - dec21);
    const long double decl = std::atan(std::cos(days * 2 * PI / 365.24225L) * 0.4333823L) * 180 / PI;
    const long long q = std::llround(std::llround((dateTime - std::floor(dateTime)) * 86400) * 0.25);
    const long long m = (q % 21600) - 10800;
    sun = {NormalizeLongitude(-m * GU_MINUTE), static_cast<std::int32_t>(-std::llround(decl * GU_DEGREE)), 0};
    if (!Surface)
        return;
    const TPoint3D sv = PointToVector(sun);
    const long double f = 6.4641819837882966e-09L;
    const long double sx = sv.x * f, sy = sv.y * f, sz = sv.z * f;
    step = std::max(step, 1);
    auto state = [&](int x, int y) {
        TGlobePoint p;
        if (!model_->XYToLL(x, y, p))
            return 0;
        TPoint3D v = PointToVector(p);
        long double d = v.x * sx + v.y * sy + v.z * sz;
        return d > 0 ? 1 : d < -6.48e7L ? 2 : 3;
    };
    auto paint = [&](int x, int y, int st) {
        if (st == 2)
            Surface->SetPixel(x, y, night);
        else if (st == 3)
            Surface->SetPixel(x, y, twilight);
    };
    int row = 0;
    for (int y = 0; y < height_; y += step, ++row) {
        const int x0 = (row % 2) ? step / 2 : 0;
        if (x0 >= width_)
            continue;
        int prevX = x0, prev = state(x0, y);
        paint(x0, y, prev);
        const int lastGrid = x0 + (width_ - 1 - x0) / step * step;
        int x = x0;
        while (x < lastGrid) {
            x = std::min(x + 16 * step, lastGrid);
            int st = state(x, y);
            paint(x, y, st);
            if (st != prev) {
                for (int xi = x - step; xi > prevX; xi -= step)
                    paint(xi, y, state(xi, y));
            } else if (st >= 2) {
                for (int xi = x - step; xi > prevX; xi -= step)
                    paint(xi, y, st);
            }
            prev = st;
            prevX = x;
        }
    }
}

std::int32_t TGlobeCore::SpheroidDistance(const TGlobePoint& p1, const TGlobePoint& p2) const
{
    return ::korval::SpheroidDistance(p1, p2, Spheroid);
}

void TGlobeCore::SetTextureFilename(const std::string& name)
{
    try {
        texture_.LoadTexture(name);
    } catch (const EGlobeException&) {
        texture_.Clear();
    }
    if (texture_.HasData()) {
        textureFilename_ = name;
    } else {
        textureFilename_.clear();
        textureBackground_ = false;
    }
}

void TGlobeCore::SetTextureBackground(bool on)
{
    textureBackground_ = on && texture_.HasData();
    RedrawGlobe();
}

void TGlobeCore::SetLongitudeStep(int v)
{
    if (v >= 0 && v < 180) {
        longitudeStep_ = v;
        RedrawGlobe();
    }
}

void TGlobeCore::SetLatitudeStep(int v)
{
    if (v >= 0 && v < 90) {
        latitudeStep_ = v;
        RedrawGlobe();
    }
}

} // namespace korval
