// Drawing on off-screen images, probed pixel by pixel: the sea and land colours, no smearing of
// date-line objects across flat maps, clipping, textures, day and night, printing.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPrinter>

#include "globe/windows/globe3.h"
#include "test_support.h"

using namespace korval;

namespace {

TGlobePoint At(double lon, double lat)
{
    return MakeGlobePoint(std::llround(lon * GU_DEGREE), static_cast<std::int32_t>(std::llround(lat * GU_DEGREE)));
}

// A globe core drawing on its own canvas.
struct Scene {
    TGlobeCore globe;
    TGlobeCanvas canvas;
    TGlobeLayer* layer;
    TPolygonPresenter* land;
    explicit Scene(TGlobeProjection p = gpCartesian, int w = 400, int h = 200)
    {
        globe.SetSize(w, h, 96);
        canvas.SetSize(w, h);
        globe.Surface = &canvas;
        globe.SetProjection(p);
        globe.SetScale(0);
        globe.DrawGrid = dgNone;
        layer = globe.AddLayer();
        auto pres = std::make_unique<TPolygonPresenter>(layer);
        pres->PolygonBrush.data = {0x00C000, bsSolid};
        pres->PolygonPen.data = {0x00C000, psSolid, 1};
        land = static_cast<TPolygonPresenter*>(layer->AddPresenter(std::move(pres)));
        land->Name_FeatureID(1, "Land");
    }
    // The flat models by number: 0 cartesian, 1 Mercator, 2 cylindrical equal-area, 3 Albers,
    // 4 sinusoidal; the whole world in view.
    void UseFlat(int model)
    {
        if (model == 1)
            globe.SetProjection(gpMercator);
        else if (model == 2)
            globe.SetProjectionModel(std::make_unique<TCylEqualAreaPrj>(globe));
        else if (model == 3)
            globe.SetProjectionModel(std::make_unique<TAlbersEqualAreaConicPrj>(globe));
        else if (model == 4)
            globe.SetProjectionModel(std::make_unique<TSinusoidalPrj>(globe));
        globe.SetScale(0);
    }
    TGlobeObject* Polygon(std::initializer_list<std::pair<double, double>> pts)
    {
        auto chain = std::make_unique<TGeoDataObject>(layer);
        for (auto [lon, lat] : pts)
            chain->Add(At(lon, lat));
        chain->SetPresenter(land);
        return layer->AddObject(std::move(chain));
    }
    const QImage& Render()
    {
        canvas.Begin();
        globe.Render();
        canvas.End();
        return canvas.Image();
    }
    QColor Probe(double lon, double lat)
    {
        TScreenPoint s;
        EXPECT_TRUE(globe.Model().Project(At(lon, lat), s));
        return QColor(canvas.Image().pixel(s.x, s.y));
    }
};

const QColor kAqua(0, 255, 255), kGreen(0, 192, 0);

// An 8-bit BMP of w x h pixels; sizeImage 0 as some writers leave it, height negative for a
// top-down file.
std::string Bmp(int w, int h, const std::vector<std::uint8_t>& pixels, std::vector<std::uint32_t> palette, bool sizeImage = true)
{
    const int stride = (w + 3) / 4 * 4, rows = std::abs(h);
    std::string b;
    auto u16 = [&](int v) { b += char(v & 0xFF); b += char((v >> 8) & 0xFF); };
    auto u32 = [&](std::int64_t v) { u16(int(v & 0xFFFF)); u16(int((v >> 16) & 0xFFFF)); };
    palette.resize(256);
    u16(19778);
    u32(54 + 1024 + stride * rows);
    u32(0);
    u32(54 + 1024);
    u32(40);
    u32(w);
    u32(h);
    u16(1);
    u16(8);
    u32(0);
    u32(sizeImage ? stride * rows : 0);
    u32(2835);
    u32(2835);
    u32(256);
    u32(0);
    for (std::uint32_t c : palette) // COLORREF to blue, green, red, 0
        u32(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
    for (int r = 0; r < rows; ++r)
        for (int x = 0; x < stride; ++x)
            b += char(x < w ? pixels[std::size_t(r * w + x)] : 0);
    return b;
}

} // namespace

TEST(GlobeRender, SeaIsAquaAndFranceIsLand)
{
    Scene s;
    s.Polygon({{-4.5, 48.5}, {2.5, 51}, {8, 49}, {7.5, 44}, {3, 43}, {-1.5, 43.5}, {-4.5, 48.5}});
    s.Render();
    EXPECT_EQ(s.Probe(-30, 10), kAqua); // COLORREF 0x00FFFF00 is aqua, not yellow
    EXPECT_EQ(s.Probe(2.5, 47), kGreen);
    EXPECT_EQ(QColor(s.canvas.Image().pixel(0, 0)), kAqua); // the cartesian map fills the canvas
}

TEST(GlobeRender, DateLineObjectsDoNotSmearAcrossFlatMaps)
{
    for (TGlobeProjection p : {gpCartesian, gpMercator}) {
        Scene s(p);
        // Eastern Russia running over 180 degrees into Chukotka.
        s.Polygon({{100, 50}, {170, 55}, {-175, 62}, {-170, 67}, {-178, 71}, {160, 72}, {100, 70}, {100, 50}});
        s.Render();
        EXPECT_EQ(s.Probe(-30, 60), kAqua) << p;
        EXPECT_EQ(s.Probe(0, 65), kAqua) << p;
        EXPECT_EQ(s.Probe(150, 62), kGreen) << p;
        EXPECT_EQ(s.Probe(-174, 65), kGreen) << p;
    }
}

TEST(GlobeRender, PoleObjectFillsToTheMapEdgeAndNoFurther)
{
    // In the conic and pseudo-cylindrical maps the pole is a curve: the fill follows it.
    for (int model : {0, 2, 3, 4}) {
        Scene s;
        s.UseFlat(model);
        s.Polygon({{-180, -70}, {-90, -72}, {0, -69}, {90, -66}, {179.9, -70}, {-180, -70}});
        s.Render();
        EXPECT_EQ(s.Probe(0, -80), kGreen) << model;
        EXPECT_EQ(s.Probe(-120, -75), kGreen) << model;
        EXPECT_EQ(s.Probe(0, -50), kAqua) << model;
        EXPECT_EQ(s.Probe(0, 30), kAqua) << model;
        EXPECT_EQ(s.Probe(150, 40), kAqua) << model;
    }
}

TEST(GlobeRender, FlatMapsCentredAnywhereCutOutlinesAtTheirOwnEdge)
{
    // Centred on 72.7 W the map's edge is 107.3 E, centred on 139.7 E it is 40.3 W: an outline
    // across that meridian, far from 180 degrees, is cut there, and the sea between stays sea.
    struct Outline {
        double centre;
        std::vector<std::pair<double, double>> points, land, sea;
    };
    const Outline outlines[] = {
        {-72.7, {{100, 25}, {120, 25}, {120, 45}, {100, 45}, {100, 25}}, {{103, 35}, {115, 35}}, {{-40, 35}, {-150, 35}, {0, 40}}},
        {139.7, {{-50, 60}, {-30, 60}, {-30, 75}, {-50, 75}, {-50, 60}}, {{-45, 67}, {-35, 67}}, {{0, 67}, {100, 67}, {170, 67}}},
        // Around the South Pole, and across 180 degrees as well.
        {-72.7, {{-180, -70}, {-90, -72}, {0, -69}, {90, -66}, {179.9, -70}, {-180, -70}}, {{0, -80}, {-120, -75}, {150, -78}},
         {{0, -50}, {150, 40}, {-30, 30}}},
    };
    for (int model = 0; model < 5; ++model) {
        for (const Outline& o : outlines) {
            Scene s(gpCartesian, 400, 400); // room for Mercator's and Albers' high latitudes
            s.UseFlat(model);
            s.globe.CentreOnLL(At(o.centre, 0).iLongX, 0);
            ASSERT_EQ(s.globe.Model().CentralMeridian(), At(o.centre, 0).iLongX) << model;
            auto* chain = s.Polygon({});
            for (auto [lon, lat] : o.points)
                static_cast<TGeoDataObject*>(chain)->Add(At(lon, lat));
            s.Render();
            for (auto [lon, lat] : o.land)
                EXPECT_EQ(s.Probe(lon, lat), kGreen) << "model " << model << " centre " << o.centre << " at " << lon << "," << lat;
            for (auto [lon, lat] : o.sea)
                EXPECT_EQ(s.Probe(lon, lat), kAqua) << "model " << model << " centre " << o.centre << " at " << lon << "," << lat;
        }
    }
}

TEST(GlobeRender, SphereShowsSeaInsideTheDiscAndBackgroundOutside)
{
    Scene s(gpSpherical, 300, 300);
    s.globe.Color = 0x000000;
    s.globe.CentreOnLL(At(2, 47).iLongX, At(2, 47).iLatY);
    s.Polygon({{-4.5, 48.5}, {2.5, 51}, {8, 49}, {7.5, 44}, {3, 43}, {-1.5, 43.5}, {-4.5, 48.5}});
    const QImage& img = s.Render();
    EXPECT_EQ(QColor(img.pixel(2, 2)), QColor(0, 0, 0));
    EXPECT_EQ(QColor(img.pixel(150, 150)), kGreen); // France under the centre
    EXPECT_EQ(s.Probe(-30, 40), kAqua);
}

TEST(GlobeRender, ClippingLeavesOffCanvasShapesOutAndStopsLinesAtTheEdge)
{
    TGlobeCore g;
    TGlobeCanvas c;
    g.SetSize(100, 50, 96);
    c.SetSize(100, 50);
    g.Surface = &c;
    c.Begin();
    c.Fill(0xFFFFFF);
    c.SetPen({0x0000FF, psSolid, 1});
    c.SetBrush({0x0000FF, bsSolid});
    const TScreenPoint left[] = {{-50, 10}, {-10, 10}, {-10, 40}, {-50, 40}};
    std::copy(std::begin(left), std::end(left), g.Buffer());
    EXPECT_EQ(g.Clip(4, true), 0);
    const TScreenPoint across[] = {{50, 25}, {150, 25}};
    std::copy(std::begin(across), std::end(across), g.Buffer());
    ASSERT_EQ(g.Clip(2, false), 2);
    EXPECT_EQ(g.Buffer()[1], (TScreenPoint{100, 25}));
    std::copy(std::begin(across), std::end(across), g.Buffer());
    g.PolylineClipped(2);
    c.End();
    EXPECT_EQ(QColor(c.Image().pixel(99, 25)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(c.Image().pixel(0, 25)), QColor(255, 255, 255));
}

TEST(GlobeRender, TransparentTexelLeavesTheBackground)
{
    Scene s;
    auto bmp = std::make_unique<TBitmapObject>(s.layer);
    test::TempDir dir;
    {
        // 2 x 2: bottom row red (transparent), top row blue.
        std::string bytes = Bmp(2, 2, {0, 0, 1, 1}, {0x0000FF, 0xFF0000}, false);
        FILE* f = std::fopen(dir.file("t.bmp").c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    s.layer->FilePath = dir.path() + "/";
    bmp->SetBMPFilename("t.bmp");
    ASSERT_TRUE(bmp->TextureData().HasData());
    bmp->GlobeUnitsPerXPixel = bmp->GlobeUnitsPerYPixel = 20 * GU_DEGREE;
    bmp->Put(At(-20, 40)); // north-west corner: the image covers -20..20 x 0..40
    bmp->SetTransparentColor(0x0000FF);
    s.layer->AddObject(std::move(bmp));
    s.Render();
    EXPECT_EQ(s.Probe(-10, 30), QColor(0, 0, 255)); // the blue top row
    EXPECT_EQ(s.Probe(10, 8), kAqua);               // the red texel is transparent
}

TEST(GlobeRender, BadBitmapsAreRefusedAndIndexesChecked)
{
    TTextureData t;
    EXPECT_THROW(t.LoadFromBytes(Bmp(3, 0, {}, {0})), EGlobeException);
    EXPECT_FALSE(t.HasData());
    std::string truncated = Bmp(4, 4, std::vector<std::uint8_t>(16, 1), {0, 0xFF});
    truncated.resize(truncated.size() - 3);
    EXPECT_THROW(t.LoadFromBytes(truncated), EGlobeException);
    EXPECT_FALSE(t.HasData());
    std::string notBmp = "XX" + std::string(100, '\0');
    try {
        t.LoadFromBytes(notBmp);
        FAIL();
    } catch (const EGlobeException& e) {
        EXPECT_STREQ(e.what(), "Globe texture must be a 256 color RGB encoded bitmap");
    }
    // A row length from the width even when biSizeImage is 0; a top-down file reads its top row
    // first.
    t.LoadFromBytes(Bmp(3, -2, {7, 8, 9, 4, 5, 6}, {0}, false));
    EXPECT_EQ(t.Stride(), 4);
    EXPECT_EQ(t.Texel(0, 1), 7); // v counts from the bottom
    EXPECT_EQ(t.Texel(2, 0), 6);
    EXPECT_EQ(t.Texel(3, 0), -1);
    EXPECT_EQ(t.Texel(0, 2), -1);
    EXPECT_EQ(t.ColorOfIndex(300), 0u);
}

TEST(GlobeRender, DayAndNightStayInsideTheEquidistantDisc)
{
    TGlobeCore g;
    TGlobeCanvas c;
    g.SetSize(200, 200, 96);
    c.SetSize(200, 200);
    g.Surface = &c;
    auto qz = std::make_unique<TQZEquidistantPrj>(g);
    qz->SetCentre(0, GU_90); // home at the north pole
    g.SetProjectionModel(std::move(qz));
    g.SetScale(0);
    g.Model().SetScaleFactor(90.0 / (PI * GU_PER_RADIAN));
    c.Begin();
    c.Fill(0x000000);
    TGlobePoint sun;
    g.DrawDayNight(0x404040, 0x808080, sun, 1, 46012.0); // 21 December 2025, 00:00 UTC
    c.End();
    EXPECT_EQ(sun.iLongX, -GU_180);
    EXPECT_NEAR(sun.iLatY, -23.44 * GU_DEGREE, 0.01 * GU_DEGREE);
    EXPECT_EQ(QColor(c.Image().pixel(0, 0)), QColor(0, 0, 0));
    EXPECT_EQ(QColor(c.Image().pixel(199, 199)), QColor(0, 0, 0));
    // In December the north pole is dark.
    EXPECT_EQ(QColor(c.Image().pixel(100, 100)), QColor(0x40, 0x40, 0x40));
}

TEST(GlobeRender, GreatCircleOfOnePointDrawsNothingAndAntipodesGoOverThePole)
{
    Scene s;
    s.canvas.Begin();
    s.canvas.Fill(0xFFFFFF);
    s.canvas.SetPen({0, psSolid, 1});
    s.globe.DrawGreatCircle(At(10, 10), At(10, 10), 2);
    s.globe.DrawGreatCircle(At(10, 10), At(10, 10), 1);
    s.canvas.End();
    const QImage& img = s.canvas.Image();
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            dark += QColor(img.pixel(x, y)) != QColor(255, 255, 255);
    EXPECT_EQ(dark, 0);
    // Antipodes: up the meridian of 0 degrees to the North Pole (and down the one of 180).
    s.canvas.Begin();
    s.globe.DrawGreatCircle(At(0, 0), At(-180, 0), 0);
    s.canvas.End();
    for (double lat : {15.0, 45.0, 85.0}) {
        TScreenPoint p;
        ASSERT_TRUE(s.globe.Model().Project(At(0, lat), p));
        EXPECT_EQ(QColor(img.pixel(p.x, p.y)), QColor(0, 0, 0)) << lat;
    }
    // A real path ends at its far point.
    s.canvas.Begin();
    s.globe.DrawGreatCircle(At(-60, 10), At(60, 30), 0);
    s.canvas.End();
    TScreenPoint end;
    ASSERT_TRUE(s.globe.Model().Project(At(60, 30), end));
    EXPECT_EQ(QColor(img.pixel(end.x, end.y)), QColor(0, 0, 0));
}

TEST(GlobeRender, UnreadableLayerIsSwitchedOffInsteadOfBreakingThePaint)
{
    Scene s;
    test::TempDir dir;
    { std::FILE* f = std::fopen(dir.file("broken.lyr").c_str(), "wb"); std::fputs("garbage", f); std::fclose(f); }
    TGlobeLayer* broken = s.globe.AddLayer();
    broken->FilePath = dir.path() + "/";
    broken->Filename = "broken.lyr";
    s.Polygon({{-4.5, 48.5}, {2.5, 51}, {8, 49}, {7.5, 44}, {3, 43}, {-4.5, 48.5}});
    EXPECT_NO_THROW(s.Render());
    EXPECT_FALSE(broken->Visible);
    EXPECT_FALSE(broken->LoadError.empty());
    EXPECT_EQ(s.Probe(2.5, 47), kGreen);
}

TEST(GlobeRender, ImageSymbolIsStretchedToItsWidthInProportionAndTitlesGiveTitleOnlyBounds)
{
    Scene s;
    InstallGlobePictureLoader();
    test::TempDir dir;
    QImage red(20, 10, QImage::Format_ARGB32); // twice as wide as high
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(QString::fromStdString(dir.file("red.png"))));

    auto pres = std::make_unique<TPointPresenter>(s.layer);
    pres->PointType = ppImage;
    pres->PointSize = 40;
    pres->SetImageName(dir.file("red.png"));
    auto* symbol = static_cast<TPointPresenter*>(s.layer->AddPresenter(std::move(pres)));
    ASSERT_NE(symbol->Image(), nullptr);
    auto point = std::make_unique<TGeoDataObject>(s.layer);
    point->Add(At(-30, 10));
    point->SetPresenter(symbol);
    TGlobeObject* o = s.layer->AddObject(std::move(point));
    s.Render();
    TScreenPoint c;
    ASSERT_TRUE(s.globe.Model().Project(At(-30, 10), c));
    const QImage& img = s.canvas.Image();
    EXPECT_EQ(QColor(img.pixel(c.x + 15, c.y + 5)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(img.pixel(c.x + 15, c.y + 15)), kAqua); // 40 wide, so 20 high
    EXPECT_NEAR(double(o->Bounds().height) / o->Bounds().width, 0.5, 0.01);

    // A missing file clears the picture: nothing is drawn.
    symbol->SetImageName(dir.file("missing.png"));
    EXPECT_EQ(symbol->Image(), nullptr);
    s.Render();
    EXPECT_EQ(QColor(s.canvas.Image().pixel(c.x + 15, c.y + 5)), kAqua);

    // No symbol but a title: the bounds are the title's extent from the point, wider than high.
    symbol->PointType = ppNone;
    symbol->TitleAlignment = taCenter;
    o->Title = "A TITLE OF SOME LENGTH";
    o->Changed();
    s.canvas.Begin();
    const TGlobeRect b = o->Bounds();
    s.canvas.End();
    EXPECT_EQ(b.left, At(-30, 10).iLongX);
    EXPECT_GT(b.width, 4 * b.height);
}

TEST(GlobeControl, PrintsToPdfAndKeepsTheView)
{
    test::TempDir dir;
    TGlobe3 w;
    w.resize(420, 260);
    w.SetProjection(gpCartesian);
    w.Core().SetScale(0);
    TGlobeLayer* layer = w.Core().AddLayer();
    auto chain = std::make_unique<TGeoDataObject>(layer);
    for (auto [lon, lat] : {std::pair{-4.5, 48.5}, {8.0, 49.0}, {3.0, 43.0}, {-4.5, 48.5}})
        chain->Add(At(lon, lat));
    layer->AddObject(std::move(chain));
    w.Core().ScrollBy(50000000, 0);
    const TGlobeView before = w.Core().SaveView();
    const int widthBefore = w.Core().CanvasWidth();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("map.pdf")));
    w.PrintGlobeTo(printer);
    QFile pdf(QString::fromStdString(dir.file("map.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_GT(pdf.size(), 500);
    const TGlobeView after = w.Core().SaveView();
    EXPECT_EQ(after.scale, before.scale);
    EXPECT_EQ(after.xOrigin, before.xOrigin);
    EXPECT_EQ(after.yOrigin, before.yOrigin);
    EXPECT_EQ(w.Core().CanvasWidth(), widthBefore);
    EXPECT_EQ(QColor(w.RenderedImage().pixel(w.Core().CanvasWidth() / 2 + 3, w.Core().CanvasHeight() / 2 + 3)), kAqua);
}
