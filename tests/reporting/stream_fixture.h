#pragma once
// The two-page report stream the tests check byte for byte, built by hand from the layout of
// the stream (header, page records, state block, opcodes) as a reader expects it, and the
// report that the writer turns into the same bytes. data/two_pages.stream holds these bytes.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "reporting/report_filer.h"
#include "tests/reporting/recording_device.h"

namespace korval::test {

// Little-endian fields appended one by one.
struct TByteBuilder {
    std::string bytes;

    size_t size() const { return bytes.size(); }
    void u8(int v) { bytes += char(v & 0xFF); }
    void u16(int v)
    {
        u8(v);
        u8(v >> 8);
    }
    void i32(std::int64_t v)
    {
        for (int i = 0; i < 4; ++i)
            u8(int(std::uint32_t(v) >> (8 * i)));
    }
    void f32(float v) { i32(std::bit_cast<std::uint32_t>(v)); }
    // A String of the version 2016 and later: one length byte below 192, else two bytes
    // (high first) holding the length + 0xC000.
    void str(const std::string& s)
    {
        if (s.size() < 192) {
            u8(int(s.size()));
        } else {
            u8(int((s.size() + 0xC000) >> 8));
            u8(int((s.size() + 0xC000) & 0xFF));
        }
        bytes += s;
    }
    void put32(size_t at, std::int64_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes[at + size_t(i)] = char(std::uint32_t(v) >> (8 * i));
    }
};

// A 1 x 1 bitmap (24 bits, one red pixel) as a BMP file.
inline TReportGraphic RedPixel()
{
    TByteBuilder b;
    b.bytes = "BM";
    b.i32(58);
    b.i32(0);
    b.i32(54);
    b.i32(40);
    b.i32(1);
    b.i32(1);
    b.u16(1);
    b.u16(24);
    b.i32(0);
    b.i32(4);
    b.i32(2835);
    b.i32(2835);
    b.i32(0);
    b.i32(0);
    b.u8(0);
    b.u8(0);
    b.u8(255);
    b.u8(0);
    return {gkBitmap, b.bytes, 1, 1};
}

// The printer the fixture is written for: the recording printer, printing two-sided along the
// long edge, collated, on Letter paper given in tenths of a millimetre.
inline void FixturePrinter(TRPDevice& device)
{
    device.SetDuplex(1);
    device.SetCollate(true);
    device.GetDevMode()->dmPaperWidth = 2159;
    device.GetDevMode()->dmPaperLength = 2794;
}

// Page 1: an open named string, a text of 192 bytes, a bitmap registered for reuse. Page 2:
// the bitmap again by reference and the placeholder text; then the named string's value.
inline void WriteFixtureReport(TReportFiler& filer)
{
    filer.Title = "Log";
    filer.BeginDoc();
    const std::string placeholder = filer.NamedStringPlaceholder("PAGES");
    filer.PrintLeftInch(std::string(192, 'x'), 1.0);
    filer.PrintBitmapRect(1, 2, 2, 3, RedPixel());
    filer.RegisterGraphic(1);
    filer.NewPage();
    filer.ReuseGraphic(1);
    filer.PrintBitmapRect(1, 2, 2, 3, RedPixel());
    filer.PrintLeftInch(placeholder, 1.0);
    filer.SetNamedString("PAGES", "2");
    filer.EndDoc();
}

// The expected stream. Arial 10 points on the 300 DPI recording printer is 42 pixels high
// (ascent 33, descent 9) with characters 21 pixels wide.
inline std::string FixtureBytes()
{
    const float ascent = float(33.0 / 300), descent = float(9.0 / 300), line = float(1.0 / 6);
    const float baseline = float(1.0 / 6 - 9.0 / 300);  // line 1 of a page without top margin
    const float sample = float(70 * 21 / 300.0);         // the 70-character sample text
    TByteBuilder b;
    // Header.
    b.u8('Z');
    b.u16(2017);
    b.str("Log");
    const size_t pageCount = b.size();
    b.u16(0);
    b.u16(1);
    b.u16(9999);
    b.f32(8.5f);
    b.f32(11.0f);
    b.f32(0.25f);
    b.f32(0.25f);
    b.f32(0.25f);
    b.f32(0.5f);
    b.u8(0);     // portrait
    b.u16(7);    // paper bin
    b.u8(1);     // collate
    b.u8(1);     // vertical duplex
    b.u16(1);    // copies
    b.u16(1);    // Letter
    b.u16(2159);
    b.u16(2794);
    b.str("");   // no output file

    auto pageStart = [&](std::int64_t previous, int number) {
        const size_t at = b.size();
        b.u8('P');
        b.i32(previous);
        b.i32(0);
        b.u16(number);
        b.f32(8.5f);
        b.f32(11.0f);
        b.u8(41); b.i32(0xFFFFFF);  // brush: white, solid, no bitmap
        b.u8(42); b.u8(0);
        b.u8(43); b.u8(0);
        b.u8(51); b.str("Arial");
        b.u8(52); b.i32(0);
        b.u8(53); b.u8(0);
        b.u8(63); b.u8(1);
        b.u8(55); b.u8(0);
        b.u8(57); b.u8(0);
        b.u8(56); b.u8(0);
        b.u8(58); b.u8(0);
        b.u8(59); b.u8(0);
        b.u8(60); b.u8(0);
        b.u8(61); b.u16(0);
        b.u8(62); b.u8(0);
        b.u8(54); b.f32(float(10.0 / 72)); b.f32(sample);
        b.u8(71); b.i32(0);  // pen: black, copy, solid, one pixel
        b.u8(72); b.u8(4);
        b.u8(73); b.u8(0);
        b.u8(74); b.f32(float(1.0 / 300));
        b.u8(28); b.f32(100.0f);
        b.u8(29); b.f32(100.0f);
        b.u8(26); b.u8(0);
        b.u8(27); b.i32(0xFFFFFF);
        return at;
    };
    auto lineMetrics = [&] {
        b.u8(83);
        b.f32(ascent);
        b.f32(descent);
        b.f32(line);
    };
    auto bitmapRect = [&] {
        b.f32(1.0f); b.f32(2.0f);
        b.f32(2.0f); b.f32(3.0f);
    };

    const size_t page1 = pageStart(0, 1);
    lineMetrics();
    b.u8(37);
    b.str("PAGES");
    const size_t slot = b.size();
    b.u8(128);
    b.u8(255);
    b.bytes += std::string(128, '\0');  // no earlier value: the first four bytes are 0
    b.u8(24);
    b.f32(baseline);
    b.str(std::string(192, 'x'));  // length bytes 0xC0 0xC0
    b.f32(1.0f);
    b.u8(34); b.u8(0);
    b.u8(17);
    b.u8(1);  // a bitmap, stored whole
    const size_t graphicSize = b.size();
    b.i32(58);
    b.bytes += RedPixel().Data;
    bitmapRect();
    b.u8(82);

    const size_t page2 = pageStart(std::int64_t(page1), 2);
    b.put32(page1 + 5, std::int64_t(page2));
    b.u8(37);  // the named string as it stands: a reference to the open slot
    b.str("PAGES");
    b.u8(4);
    b.u8(254);
    b.i32(std::int64_t(slot));
    lineMetrics();
    b.u8(34); b.u8(0);
    b.u8(17);
    b.u8(129);  // the same bitmap again: a reference to its size field
    b.i32(std::int64_t(graphicSize));
    bitmapRect();
    b.u8(24);
    b.f32(baseline);
    b.str("\xFD$RPCV\xFCPAGES\xFB");
    b.f32(1.0f);
    b.u8(82);

    b.bytes[pageCount] = 2;
    b.bytes[slot + 1] = char(1);  // the value "2" written into the slot
    b.bytes[slot + 2] = '2';
    return b.bytes;
}

} // namespace korval::test
