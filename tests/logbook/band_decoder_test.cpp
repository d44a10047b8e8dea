// The band decoder's byte per decoder kind and band, and when it reaches the port's data lines.
#include <gtest/gtest.h>

#include "logbook/band_decoder.h"
#include "logbook/config_record.h"
#include "platform/port_io.h"

namespace korval {
namespace {

struct DecoderCase {
    int kind, band, value;
};
class BandDecoderTable : public ::testing::TestWithParam<DecoderCase> {};
TEST_P(BandDecoderTable, ByteOfKindAndBand)
{
    EXPECT_EQ(BandDecoderByte(GetParam().kind, GetParam().band), GetParam().value)
        << "kind " << GetParam().kind << " band " << GetParam().band;
}
INSTANTIATE_TEST_SUITE_P(Kinds, BandDecoderTable, ::testing::Values(
    DecoderCase{1, 1, 0x01}, DecoderCase{1, 5, 0x41}, DecoderCase{1, 9, 0x81}, DecoderCase{1, 10, -1},
    DecoderCase{2, 10, 0x00}, DecoderCase{2, 2, 0x20}, DecoderCase{2, 11, -1},
    DecoderCase{3, 10, 0x00}, DecoderCase{3, 13, 0x21}, DecoderCase{3, 14, 0x41}, DecoderCase{3, 9, -1},
    DecoderCase{3, 15, -1}, DecoderCase{0, 5, -1}, DecoderCase{4, 5, -1}, DecoderCase{1, 0, -1}),
    [](const ::testing::TestParamInfo<DecoderCase>& i) {
        return "kind" + std::to_string(i.param.kind) + "_band" + std::to_string(i.param.band);
    });

class BandDecoderPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        Config.SetBandDecoder(2);
        Config.SetBandDecoderPort(2);
        Config.SetBandDecoderKind(1);
        old_ = PortIo().SetOpener([this](int lpt, std::string&) -> std::unique_ptr<TLptDevice> {
            auto p = std::make_unique<TRecordingLpt>();
            (lpt == 2 ? port : other) = p.get();
            return p;
        });
    }
    void TearDown() override
    {
        PortIo().SetOpener(old_);
        Config = saved_;
    }
    std::vector<TRecordingLpt::TWrite> Writes() const { return port ? port->Writes() : std::vector<TRecordingLpt::TWrite>{}; }

    TRecordingLpt* port = nullptr;
    TRecordingLpt* other = nullptr;
    TConfigRecord saved_;
    TPortIo::TOpener old_;
};

TEST_F(BandDecoderPort, WritesTheDataRegisterOnlyInRealTimeWhenDriven)
{
    OutputBandDecoder(5, false);
    EXPECT_TRUE(Writes().empty()) << "off-line entry drives nothing";
    OutputBandDecoder(5, true);
    OutputBandDecoder(10, true); // kind 1 knows nothing of band 10
    OutputBandDecoder(15, true);
    Config.SetBandDecoder(1);
    OutputBandDecoder(3, true);
    using W = TRecordingLpt::TWrite;
    EXPECT_EQ(Writes(), (std::vector<W>{W{false, 0x41}}));
    EXPECT_EQ(other, nullptr) << "only the configured port is opened";
}

} // namespace
} // namespace korval
