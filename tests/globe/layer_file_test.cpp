// The layer file: byte-exact round trips of hand-made files, the error texts, damaged input, and
// containment across the date line and around a pole.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

#include "globe/globe_core.h"
#include "test_support.h"

using namespace korval;

namespace {

// Spells a layer file field by field.
struct Bytes {
    std::string b;
    Bytes& u8(int v) { b += static_cast<char>(v & 0xFF); return *this; }
    Bytes& u16(int v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::int64_t v) { return u16(int(v & 0xFFFF)).u16(int((v >> 16) & 0xFFFF)); }
    Bytes& str(const std::string& s) { u8(int(s.size())); b += s; return *this; }
};

constexpr std::int32_t M = GU_MINUTE;

// Header with the rectangle the loader computes from the objects: one unit outside each object's
// bounds, which are themselves one unit outside the points.
Bytes Header(int version, std::int32_t minLon, std::int32_t minLat, std::int32_t maxLon, std::int32_t maxLat)
{
    Bytes f;
    f.u16(version).u32(minLon - 2).u32(minLat - 2).u32(std::int64_t(maxLon) - minLon + 3).u32(std::int64_t(maxLat) - minLat + 3);
    return f;
}

void PolygonPresenter(Bytes& f, int featureID, bool withTitleOffset)
{
    f.u32(1).str("TPolygonPresenter");
    f.u32(featureID);
    if (withTitleOffset)
        f.u8(5);
    f.str("Land").u8(1 /* taCenter */);
    f.u32(0x000000).u8(15).u16(9).u16(0).u8(0).str("Arial"); // title font
    f.u32(0x808080).u8(0).u8(1);                              // pen
    f.u32(0x00C000).u8(0);                                    // brush
}

struct Loaded {
    TGlobeCore globe;
    TGlobeLayer* layer = globe.AddLayer();
};

} // namespace

TEST(LayerFile, CompactDeltaChainWithEscapeRoundTripsByteForByte)
{
    // Points on whole minutes: 2-byte minute counts; a step of exactly 127 minutes is the escape.
    Bytes f = Header(769, 10 * M, 20 * M, 138 * M, 21 * M);
    PolygonPresenter(f, 1, true);
    f.u32(1).str("TGeoDataObject");
    f.u16(gofTitle | gofCompact | gofDelta).str("France").u16(1);
    f.u16(4);
    f.u16(10).u16(20);           // first point in minutes
    f.u8(1).u8(1);               // +1, +1
    f.u8(127).u16(138).u16(21);  // 127 minutes east: escape and the full point
    f.u8(0xFF).u8(0xFF);         // -1, -1
    f.u32(0);
    Loaded l;
    l.layer->LoadFromStream(f.b, "fixture.lyr");
    ASSERT_EQ(l.layer->ObjectCount(), 1);
    TGlobeObject* o = l.layer->Object(0);
    EXPECT_EQ(o->Title, "France");
    ASSERT_EQ(o->Count(), 4);
    EXPECT_EQ(o->Get(2), (TGlobePoint{138 * M, 21 * M, 0}));
    EXPECT_EQ(o->Get(3), (TGlobePoint{137 * M, 20 * M, 0}));
    ASSERT_NE(o->Presenter(), nullptr);
    EXPECT_EQ(o->Presenter()->Name, "Land");
    EXPECT_EQ(o->Presenter()->TitleOffset, 5);
    EXPECT_EQ(l.layer->SaveToBytes(), f.b);
}

TEST(LayerFile, OffMinutePointSwitchesToFourByteCoordinates)
{
    Bytes f = Header(769, 0, 0, 70000, 3 * M);
    f.u32(1).str("TGeoDataObject");
    f.u16(gofID | gofDelta).u32(77).u16(0xFFFD /* -3 */).u16(3);
    f.u32(0).u32(0);
    f.u16(30000).u16(0);                // a 2-byte difference
    f.u16(32767).u32(70000).u32(3 * M); // too far for a difference: escape and full point
    f.u32(0);
    Loaded l;
    l.layer->LoadFromStream(f.b, "fixture.lyr");
    ASSERT_EQ(l.layer->ObjectCount(), 1);
    TGlobeObject* o = l.layer->Object(0);
    EXPECT_EQ(o->ID, 77);
    EXPECT_EQ(o->Get(1), (TGlobePoint{30000, 0, 0}));
    // No presenter of its own: FeatureID -3 finds the global polygon presenter.
    ASSERT_NE(o->Presenter(), nullptr);
    EXPECT_EQ(o->Presenter()->Name, "GlobalPolygonPresenter");
    EXPECT_EQ(l.layer->SaveToBytes(), f.b);
}

TEST(LayerFile, LongChainUsesTheFourByteCountAndGrowableBuffers)
{
    // 40,000 points: past the signed 2-byte count, which once turned into a negative count.
    Loaded l;
    auto chain = std::make_unique<TGeoDataObject>(l.layer);
    for (int i = 0; i < 40000; ++i)
        chain->Add({(i % 2000) * M - 1000 * M, (i / 2000) * M, 0});
    l.layer->AddObject(std::move(chain));
    std::string bytes = l.layer->SaveToBytes();
    Loaded back;
    back.layer->LoadFromStream(bytes, "long.lyr");
    ASSERT_EQ(back.layer->ObjectCount(), 1);
    EXPECT_EQ(back.layer->Object(0)->Count(), 40000);
    EXPECT_TRUE(back.layer->Object(0)->Flags & gofLongCount);
    EXPECT_EQ(back.layer->Object(0)->Get(39999), (TGlobePoint{999 * M, 19 * M, 0}));
    EXPECT_EQ(back.layer->SaveToBytes(), bytes);
    // Projecting the whole chain needs more than the 65,537 slots of a fixed buffer.
    back.globe.SetProjection(gpCartesian);
    back.globe.Model().SetScaleFactor(4.0);
    EXPECT_GT(back.globe.Model().PointListToXY(*back.layer->Object(0)), 30000);
}

TEST(LayerFile, OldTwoByteCountsUpTo65535AreReadUnsigned)
{
    Bytes f = Header(769, 0, 0, 0, 0);
    f.u32(1).str("TGeoDataObject").u16(gofCompact).u16(0).u16(40000);
    for (int i = 0; i < 40000; ++i)
        f.u16(0).u16(0);
    f.u32(0);
    Loaded l;
    l.layer->LoadFromStream(f.b, "old.lyr");
    EXPECT_EQ(l.layer->Object(0)->Count(), 40000);
}

TEST(LayerFile, Version768HasNoTitleOffsetAndOneBitmapResolution)
{
    Bytes f = Header(768, 5 * M, 6 * M, 5 * M, 6 * M);
    PolygonPresenter(f, 2, false);
    f.u32(1).str("TBitmapObject");
    f.u16(gofCompact).u16(2).u16(5).u16(6);
    f.u32(4500).u32(0).str("");
    f.u32(0);
    Loaded l;
    l.layer->LoadFromStream(f.b, "v768.lyr");
    ASSERT_EQ(l.layer->PresenterCount(), 1);
    EXPECT_EQ(l.layer->PresenterAt(0)->Name, "Land");
    EXPECT_EQ(l.layer->PresenterAt(0)->TitleOffset, 0);
    auto* bmp = dynamic_cast<TBitmapObject*>(l.layer->Object(0));
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->GlobeUnitsPerXPixel, 4500);
    EXPECT_EQ(bmp->GlobeUnitsPerYPixel, 4500);
}

TEST(LayerFile, LoadErrorsCarryTheirTexts)
{
    auto message = [](const std::string& bytes) {
        Loaded l;
        try {
            l.layer->LoadFromStream(bytes, "bad.lyr");
        } catch (const EGlobeException& e) {
            EXPECT_EQ(l.layer->ObjectCount(), 0);
            return std::string(e.what());
        }
        return std::string("loaded");
    };
    EXPECT_EQ(message(Header(0x2FF, 0, 0, 0, 0).b), "LoadFromFile: Invalid File Version 2FF in bad.lyr");
    EXPECT_EQ(message(Header(0x302, 0, 0, 0, 0).b), "LoadFromFile: Invalid File Version 302 in bad.lyr");
    Bytes unknown = Header(769, 0, 0, 0, 0);
    unknown.u32(1).str("TFooObject");
    EXPECT_EQ(message(unknown.b), "LoadFromFile: Unknown Globe Object Class TFooObject in bad.lyr");
    Bytes huge = Header(769, 0, 0, 0, 0);
    huge.u32(0x7FFFFFFF).str("TGeoDataObject").u16(0).u16(0).u16(100);
    EXPECT_EQ(message(huge.b), "LoadFromFile: Damaged File bad.lyr");
    Bytes shortChain = Header(769, 0, 0, 0, 0);
    shortChain.u32(1).str("TGeoDataObject").u16(gofCompact).u16(0).u16(3).u16(1).u16(1);
    EXPECT_EQ(message(shortChain.b), "LoadFromFile: Damaged File bad.lyr");
    EXPECT_EQ(message(std::string("\x01", 1)), "LoadFromFile: Damaged File bad.lyr");

    test::TempDir dir;
    Loaded l;
    l.layer->FilePath = dir.path() + "/";
    l.layer->Filename = "missing.lyr";
    try {
        l.layer->LoadFromFile();
        FAIL();
    } catch (const EGlobeException& e) {
        EXPECT_EQ(std::string(e.what()), "LoadFromFile: File " + dir.path() + "/missing.lyr not found");
    }
}

// Every prefix and a few thousand single-byte changes of a valid file either load or are refused
// with EGlobeException; nothing reads outside the bytes (the sanitizers watch).
TEST(LayerFile, DamagedCopiesAreRefusedNeverMisread)
{
    Bytes f = Header(769, 10 * M, 20 * M, 137 * M, 21 * M);
    PolygonPresenter(f, 1, true);
    f.u32(2).str("TGeoDataObject");
    for (int k = 0; k < 2; ++k)
        f.u16(gofTitle | gofCompact | gofDelta | gofZoom).str("X").u32(1).u32(5).u16(1).u16(3).u16(10).u16(20).u8(1).u8(1).u8(127).u16(137).u16(21);
    f.u32(0);
    auto tryLoad = [](const std::string& bytes) {
        Loaded l;
        try {
            l.layer->LoadFromStream(bytes, "f.lyr");
            for (int i = 0; i < l.layer->ObjectCount(); ++i)
                l.layer->Object(i)->Bounds();
        } catch (const EGlobeException&) {
        }
    };
    for (std::size_t n = 0; n < f.b.size(); ++n)
        tryLoad(f.b.substr(0, n));
    std::mt19937 rng(36);
    for (int i = 0; i < 3000; ++i) {
        std::string copy = f.b;
        copy[rng() % copy.size()] = static_cast<char>(rng());
        tryLoad(copy);
    }
}

TEST(LayerFile, SaveToFileWritesAndNamesTheLayer)
{
    test::TempDir dir;
    Loaded l;
    auto chain = std::make_unique<TGeoDataObject>(l.layer);
    chain->Add({0, 0, 0});
    chain->Add({M, M, 0});
    chain->Add({M, M, 0}); // repeated from the third point on: dropped
    l.layer->AddObject(std::move(chain));
    l.layer->SaveToFile(dir.file("a.lyr"));
    EXPECT_EQ(l.layer->Filename, "a.lyr");
    EXPECT_EQ(l.layer->Object(0)->Count(), 2);
    Loaded back;
    back.layer->FilePath = dir.path() + "/";
    back.layer->Filename = "a.lyr";
    back.layer->LoadFromFile();
    EXPECT_EQ(back.layer->Object(0)->Count(), 2);
    EXPECT_EQ(back.layer->Name, "a");
}

namespace {
TGlobeObject* Polygon(TGlobeLayer* layer, std::initializer_list<std::pair<double, double>> lonLat)
{
    auto chain = std::make_unique<TGeoDataObject>(layer);
    for (auto [lon, lat] : lonLat)
        chain->Add(MakeGlobePoint(std::llround(lon * GU_DEGREE), static_cast<std::int32_t>(std::llround(lat * GU_DEGREE))));
    chain->SetPresenter(layer->FindPresenter("", -3));
    return layer->AddObject(std::move(chain));
}
TGlobePoint At(double lon, double lat)
{
    return MakeGlobePoint(std::llround(lon * GU_DEGREE), static_cast<std::int32_t>(std::llround(lat * GU_DEGREE)));
}
} // namespace

TEST(Containment, AcrossTheDateLineAroundAPoleAndPlain)
{
    Loaded l;
    TGlobeObject* chukotka = Polygon(l.layer, {{170, 62}, {-170, 62}, {-170, 70}, {170, 70}});
    TGlobeObject* antarctica = Polygon(l.layer, {{-180, -70}, {-90, -72}, {0, -69}, {90, -66}, {179.9, -70}, {-180, -70}});
    TGlobeObject* square = Polygon(l.layer, {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}});
    EXPECT_TRUE(chukotka->ContainsLL(At(178, 65)));
    EXPECT_TRUE(chukotka->ContainsLL(At(-175, 65)));
    EXPECT_FALSE(chukotka->ContainsLL(At(160, 65)));
    EXPECT_FALSE(chukotka->ContainsLL(At(-160, 65)));
    EXPECT_TRUE(chukotka->State & osDateLine);
    EXPECT_TRUE(antarctica->ContainsLL(At(0, -85)));
    EXPECT_TRUE(antarctica->ContainsLL(At(-150, -85)));
    EXPECT_FALSE(antarctica->ContainsLL(At(0, -60)));
    EXPECT_TRUE(antarctica->State & osPole);
    EXPECT_TRUE(square->ContainsLL(At(0, 0)));
    EXPECT_FALSE(square->ContainsLL(At(-30, 20)));
    EXPECT_EQ(l.layer->ObjectAtLL(At(-175, 65).iLongX, At(-175, 65).iLatY), chukotka);
    EXPECT_EQ(l.layer->ObjectAtLL(At(-30, 20).iLongX, At(-30, 20).iLatY), nullptr);
    square->SetHidden(true);
    EXPECT_FALSE(square->ContainsLL(At(0, 0)));
}

TEST(Containment, PolylineHitsByDistanceToTheSegment)
{
    Loaded l;
    l.globe.SetProjection(gpCartesian);
    l.globe.SetScale(1.0 / 90000); // one minute per pixel
    auto chain = std::make_unique<TGeoDataObject>(l.layer);
    chain->Add({0, 0, 0});
    chain->Add({100 * M, 100 * M, 0}); // 45 degrees
    chain->Add({101 * M, 1000 * M, 0}); // steep
    chain->SetPresenter(l.layer->FindPresenter("", -2));
    TGlobeObject* o = l.layer->AddObject(std::move(chain));
    EXPECT_TRUE(o->ContainsLL({50 * M, 50 * M, 0}));
    EXPECT_TRUE(o->ContainsLL({50 * M + M / 2, 50 * M, 0}));
    EXPECT_FALSE(o->ContainsLL({50 * M, 60 * M, 0}));
    EXPECT_TRUE(o->ContainsLL({100 * M + M / 9 * 5, 500 * M, 0})); // on the steep segment
    EXPECT_FALSE(o->ContainsLL({104 * M, 500 * M, 0}));
    // On the line through the first segment but beyond its end.
    EXPECT_FALSE(o->ContainsLL({-5 * M, -5 * M, 0}));
}
