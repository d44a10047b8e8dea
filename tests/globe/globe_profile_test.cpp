// The globe profile: layer list, layer settings, saving, and the globe's own lists.
#include <gtest/gtest.h>

#include <fstream>

#include "globe/globe_core.h"
#include "test_support.h"

using namespace korval;

namespace {
void WriteEmptyLayer(const std::string& path)
{
    TGlobeCore g;
    auto chain = std::make_unique<TGeoDataObject>(g.AddLayer());
    chain->Add({0, 0, 0});
    chain->Add({GU_MINUTE, GU_MINUTE, 0});
    g.GetLayer(0).AddObject(std::move(chain));
    g.GetLayer(0).SaveToFile(path);
}
void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
} // namespace

TEST(GlobeProfile, LoadsTheListedLayersWithTheirSettingsAndSavesThemBack)
{
    test::TempDir dir;
    WriteEmptyLayer(dir.file("a.lyr"));
    WriteEmptyLayer(dir.file("b.lyr"));
    WriteText(dir.file("tglobe.prf"), "[Global Settings]\r\nDataDirectory=\r\n[LayerList]\r\n0=a.lyr\r\n1=b.lyr\r\n"
                                      "3=c.lyr\r\n[b.lyr]\r\nName=States\r\nVisible=0\r\nZoomUnits=KM\r\nZoomMin=185\r\n");
    TGlobeCore g;
    g.SetProfileName(dir.file("tglobe.prf"));
    ASSERT_EQ(g.LayerCount(), 2); // the list ends at the first missing key
    EXPECT_EQ(g.DataDirectory, dir.path() + "/");
    EXPECT_EQ(g.GetLayer(0).Name, "a");
    EXPECT_EQ(g.GetLayer(0).ObjectCount(), 1);
    EXPECT_EQ(g.GetLayer(1).Name, "States");
    EXPECT_FALSE(g.GetLayer(1).Visible);
    EXPECT_EQ(g.GetLayer(1).ZoomUnits(), TGlobeUnits::Kilometer);
    EXPECT_EQ(g.GetLayer(1).ZoomMin, 185);
    g.GetLayer(1).SetZoomUnits(TGlobeUnits::NauticalMile);
    EXPECT_EQ(g.GetLayer(1).ZoomMin, 100);

    // Writing the same name again keeps the layers; an empty name clears them.
    g.GetLayer(0).Name = "Changed";
    g.SetProfileName(dir.file("tglobe.prf"));
    EXPECT_EQ(g.GetLayer(0).Name, "Changed");

    g.SaveProfile(dir.file("saved.prf"));
    TGlobeProfile saved(dir.file("saved.prf"));
    EXPECT_EQ(saved.ReadString("LayerList", "0", ""), "a.lyr");
    EXPECT_EQ(saved.ReadString("LayerList", "1", ""), "b.lyr");
    EXPECT_EQ(saved.ReadString("Changed", "Name", "-"), "-");
    EXPECT_EQ(saved.ReadString("a.lyr", "Name", ""), "Changed");
    EXPECT_FALSE(saved.HasKey("a.lyr", "Visible"));
    EXPECT_EQ(saved.ReadString("b.lyr", "Visible", ""), "0");
    EXPECT_FALSE(saved.HasKey("b.lyr", "ZoomUnits")); // back to nautical miles, the default

    g.SetProfileName("");
    EXPECT_EQ(g.LayerCount(), 0);
}

TEST(GlobeProfile, MissingLayerFileReachesTheCaller)
{
    test::TempDir dir;
    WriteText(dir.file("p.prf"), "[LayerList]\r\n0=none.lyr\r\n");
    TGlobeCore g;
    EXPECT_THROW(g.SetProfileName(dir.file("p.prf")), EGlobeException);
    TGlobeCore h;
    h.SetProfileName(dir.file("absent.prf")); // no file: an empty profile
    EXPECT_EQ(h.LayerCount(), 0);
}

TEST(GlobeCore, GlobalPresentersRegistryAndLayerIndex)
{
    TGlobeCore g;
    g.AddLayer();
    g.ClearLayers();
    EXPECT_EQ(g.LayerCount(), 0);
    ASSERT_EQ(g.GlobalLayer().PresenterCount(), 3);
    EXPECT_EQ(g.GlobalLayer().PresenterAt(0)->FeatureID, -1);
    EXPECT_EQ(g.GlobalLayer().PresenterAt(1)->Name, "GlobalPolylinePresenter");
    EXPECT_EQ(g.GlobalLayer().PresenterAt(2)->FeatureID, -3);
    try {
        g.GetLayer(4);
        FAIL();
    } catch (const EGlobeException& e) {
        EXPECT_STREQ(e.what(), "TGlobe3.GetLayer: Bad layer index 4");
    }
    try {
        g.RegisterGlobeClass("TGeoDataObject", nullptr);
        FAIL();
    } catch (const EGlobeException& e) {
        EXPECT_STREQ(e.what(), "TGlobe3.RegisterGlobeClass: Class TGeoDataObject already registered");
    }
    // Presenter naming: third of a normal layer gets 3; unused presenters go when saving.
    TGlobeLayer* l = g.AddLayer();
    for (int i = 0; i < 3; ++i)
        l->AddPresenter(std::make_unique<TPointPresenter>(l))->Name_FeatureID(0, "");
    EXPECT_EQ(l->PresenterAt(2)->FeatureID, 3);
    EXPECT_EQ(l->PresenterAt(2)->Name, "PointPresenter3");
    l->SaveToBytes();
    EXPECT_EQ(l->PresenterCount(), 0);
}

TEST(GlobeCore, ScaleViewAndSteps)
{
    TGlobeCore g;
    g.SetSize(400, 200, 96);
    g.SetProjection(gpCartesian);
    EXPECT_EQ(g.Projection(), gpCartesian);
    g.SetScale(0);
    EXPECT_NEAR(g.Scale(), std::min(400.0 / 1944000000, 200.0 / 972000000), 1e-15);
    EXPECT_EQ(g.Model().XOrigin, 200);
    g.SetScale(10);
    EXPECT_EQ(g.Scale(), 4.0);
    g.ViewRect({0, 0, 0, 50});
    EXPECT_NEAR(g.Scale(), 200.0 / 972000000, 1e-15);
    const TGlobeView v = g.SaveView();
    g.ScrollBy(100000000, 0);
    EXPECT_NE(g.Model().XOrigin, v.xOrigin);
    g.RestoreView(v);
    EXPECT_EQ(g.Model().XOrigin, v.xOrigin);
    g.SetLongitudeStep(180);
    EXPECT_EQ(g.LongitudeStep(), 15);
    g.SetLatitudeStep(30);
    EXPECT_EQ(g.LatitudeStep(), 30);
    TGlobePoint off;
    g.SetProjection(gpSpherical);
    EXPECT_FALSE(g.ScreenToGlobe(0, 0, off));
    EXPECT_EQ(off, (TGlobePoint{-972000000, 972000000, 0}));
}

TEST(GlobeCore, ViewBlockIsThirtyTwoBytesWithAnExtendedScale)
{
    const TGlobeView v{2.05761316872428e-07, 200, -100, 126900000, -5, 7};
    const std::string b = GlobeViewToBytes(v);
    ASSERT_EQ(b.size(), 32u);
    // 1.0 as extended is 3FFF 8000000000000000: check the exponent bytes of the scale.
    const std::string one = GlobeViewToBytes({1.0, 0, 0, 0, 0, 0});
    EXPECT_EQ(one.substr(0, 10), std::string("\0\0\0\0\0\0\0\x80\xFF\x3F", 10));
    EXPECT_EQ(std::uint8_t(b[12]), 200);           // view centre x at offset 12
    EXPECT_EQ(std::uint8_t(b[20]), 0x20);          // X rotation at 20: 126,900,000 = 0x07905720
    TGlobeView back;
    ASSERT_TRUE(GlobeViewFromBytes(b, back));
    EXPECT_EQ(back.scale, v.scale);
    EXPECT_EQ(back.yOrigin, -100);
    EXPECT_EQ(back.zRotation, 7);
    EXPECT_FALSE(GlobeViewFromBytes(b.substr(0, 31), back));
}
