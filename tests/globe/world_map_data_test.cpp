// The shipped world map (data/maps/): containment in places that test the date line, the pole
// and the state layer, and what the whole map looks like in every flat projection.
#include <gtest/gtest.h>

#include <QImage>

#include "globe/windows/globe_canvas.h"
#include "globe/globe_core.h"

using namespace korval;

namespace {

TGlobePoint At(double lon, double lat)
{
    return MakeGlobePoint(std::llround(lon * GU_DEGREE), static_cast<std::int32_t>(std::llround(lat * GU_DEGREE)));
}

class WorldMap : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        globe_ = new TGlobeCore;
        globe_->SetProfileName(KORVAL_SOURCE_DIR "/data/maps/tglobe.prf");
    }
    static void TearDownTestSuite()
    {
        delete globe_;
        globe_ = nullptr;
    }
    static std::string CountryAt(int layer, double lon, double lat)
    {
        TGlobePoint p = At(lon, lat);
        TGlobeObject* o = globe_->GetLayer(layer).ObjectAtLL(p.iLongX, p.iLatY);
        return o ? o->Title : std::string("-");
    }
    static TGlobeCore* globe_;
};
TGlobeCore* WorldMap::globe_ = nullptr;

} // namespace

TEST_F(WorldMap, LayersOfTheProfile)
{
    ASSERT_EQ(globe_->LayerCount(), 4);
    EXPECT_GT(globe_->GetLayer(0).ObjectCount(), 200);
    EXPECT_EQ(globe_->GetLayer(0).Name, "Countries");
    EXPECT_GT(globe_->GetLayer(3).ObjectCount(), 300);
}

TEST_F(WorldMap, ContainsLLAtTheDateLineThePoleAndInTexas)
{
    EXPECT_EQ(CountryAt(0, 178.0, 66.5), "Russia");  // Chukotka west of 180 degrees
    EXPECT_EQ(CountryAt(0, -172.5, 65.5), "Russia"); // and east of it
    EXPECT_EQ(CountryAt(0, 178.0, -17.8), "Fiji");
    EXPECT_EQ(CountryAt(0, 0.0, -85.0), "Antarctica");
    EXPECT_EQ(CountryAt(0, 2.5, 47.0), "France");
    EXPECT_EQ(CountryAt(0, -30.0, 30.0), "-"); // mid-Atlantic
    EXPECT_EQ(CountryAt(1, -99.0, 31.0), "TX,Texas");
    EXPECT_EQ(CountryAt(1, -30.0, 30.0), "-");
}

TEST_F(WorldMap, FlatMapsShowLandAndSeaWithoutDateLineSmearing)
{
    for (TGlobeProjection p : {gpCartesian, gpMercator}) {
        TGlobeCanvas canvas;
        canvas.SetSize(800, 500);
        globe_->SetSize(800, 500, 96);
        globe_->Surface = &canvas;
        globe_->SetProjection(p);
        globe_->CentreOnLL(0, 0);
        globe_->SetScale(0);
        globe_->DrawGrid = dgNone;
        globe_->GetLayer(3).Visible = false; // titles would cover the probes
        canvas.Begin();
        globe_->Render();
        canvas.End();
        globe_->Surface = nullptr;
        auto probe = [&](double lon, double lat) {
            TScreenPoint s;
            EXPECT_TRUE(globe_->Model().Project(At(lon, lat), s));
            return QColor(canvas.Image().pixel(s.x, s.y));
        };
        EXPECT_EQ(probe(2.5, 47.0), QColor(0xA0, 0xD0, 0x80)) << p; // France in the land colour
        // A whole row across the mid-Atlantic stays sea.
        for (double lat : {45.0, 55.0, 60.0})
            for (double lon = -38; lon <= -20; lon += 2)
                EXPECT_EQ(probe(lon, lat), QColor(0, 255, 255)) << p << " " << lon << "," << lat;
    }
}
