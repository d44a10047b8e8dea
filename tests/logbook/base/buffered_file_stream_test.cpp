#include "logbook/base/buffered_file_stream.h"

#include "platform/atomic_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace korval;
using korval::test::ReadAll;
using korval::test::TempDir;
using korval::test::WriteAll;

namespace {

std::string Pattern(std::size_t n)
{
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + i % 23);
    return s;
}

} // namespace

TEST(BufferedFileStream, EmptyFileReadsNothingAndIsAtEnd)
{
    TempDir dir;
    WriteAll(dir.file("E.BIN"), "");
    TBufferedFileStream s(dir.file("E.BIN"), fmOpenRead);
    char c;
    EXPECT_EQ(s.Read(&c, 1), 0);
    EXPECT_TRUE(s.Eof());
    EXPECT_THROW(s.ReadBuffer(&c, 1), EReadError);
}

TEST(BufferedFileStream, BufferSizedWriteFlushesOnceAndLeavesNothingPending)
{
    TempDir dir;
    std::string path = dir.file("W.BIN");
    std::string data = Pattern(8192 + 10);
    {
        TBufferedFileStream s(path, fmCreate);
        EXPECT_EQ(s.Write(data.data(), 8192), 8192);
        EXPECT_EQ(s.State(), TBufferedFileStream::bsEmpty);
        EXPECT_EQ(s.Pending(), 0);
        EXPECT_EQ(ReadAll(path), data.substr(0, 8192));
        EXPECT_EQ(s.Write(data.data() + 8192, 10), 10);
        EXPECT_EQ(s.Pending(), 10);
        EXPECT_EQ(s.GetSize(), 8202);
        EXPECT_EQ(s.GetPosition(), 8202);
        EXPECT_EQ(ReadAll(path).size(), 8192u);  // the tail is still in the buffer
    }
    EXPECT_EQ(ReadAll(path), data);
}

TEST(BufferedFileStream, WriteAfterReadContinuesAtTheLogicalPositionOnly)
{
    TempDir dir;
    std::string path = dir.file("RW.BIN");
    std::string data = Pattern(20000);
    WriteAll(path, data);
    {
        TBufferedFileStream s(path, fmOpenReadWrite);
        char head[100];
        s.ReadBuffer(head, 100);
        EXPECT_EQ(std::string(head, 100), data.substr(0, 100));
        EXPECT_EQ(s.GetPosition(), 100);
        // Another writer changes a byte inside our read-ahead: writing must not put the stale copy back.
        int fd = ::open(path.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "#", 1, 5000), 1);
        ::close(fd);
        s.WriteBuffer("XYZ", 3);
        EXPECT_EQ(s.GetPosition(), 103);
        EXPECT_EQ(s.GetSize(), 20000);
    }
    std::string expected = data;
    expected.replace(100, 3, "XYZ");
    expected[5000] = '#';
    EXPECT_EQ(ReadAll(path), expected);
}

TEST(BufferedFileStream, ReadAfterWriteReadsTheFileNotTheOldBuffer)
{
    TempDir dir;
    std::string path = dir.file("WR.BIN");
    std::string data = Pattern(9000);
    WriteAll(path, data);
    TBufferedFileStream s(path, fmOpenReadWrite);
    s.WriteBuffer("0123456789", 10);
    char got[5];
    s.ReadBuffer(got, 5);
    EXPECT_EQ(std::string(got, 5), data.substr(10, 5));
    s.SetPosition(0);
    std::string block(8192, 'Q');
    s.WriteBuffer(block.data(), 8192);  // a full buffer goes out and the buffer stands empty
    s.ReadBuffer(got, 5);
    EXPECT_EQ(std::string(got, 5), data.substr(8192, 5));
    EXPECT_EQ(s.GetPosition(), 8197);
}

// Views across buffer refills: the unread bytes move to the front and the position stays
// exact; a view longer than the rest of the file reads nothing, and one longer than the buffer
// is refused.
TEST(BufferedFileStream, ReadViewsAcrossRefillsAndAtTheEnd)
{
    TempDir dir;
    const std::string path = dir.file("V.BIN");
    const std::string data = Pattern(1000);
    WriteAll(path, data);
    TBufferedFileStream s(path, fmOpenRead, false, 64);
    EXPECT_EQ(s.BufferSize(), 64);
    std::size_t at = 0;
    for (std::int32_t n : {10, 50, 64, 1, 63, 0, 37}) {
        const std::uint8_t* v = s.ReadView(n);
        ASSERT_NE(v, nullptr) << n;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(v), static_cast<std::size_t>(n)), data.substr(at, n)) << n;
        at += static_cast<std::size_t>(n);
        EXPECT_EQ(s.GetPosition(), static_cast<std::int64_t>(at));
    }
    EXPECT_EQ(s.ReadView(65), nullptr);
    char c = 0;
    ASSERT_EQ(s.Read(&c, 1), 1);  // views and plain reads mix
    EXPECT_EQ(c, data[at++]);
    s.Seek(990, soFromBeginning);
    EXPECT_EQ(s.ReadView(11), nullptr);
    EXPECT_EQ(s.GetPosition(), 990);
    const std::uint8_t* last = s.ReadView(10);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(last), 10), data.substr(990));
    EXPECT_EQ(s.ReadView(1), nullptr);
    EXPECT_TRUE(s.Eof());
}

TEST(BufferedFileStream, SeekOrigins)
{
    TempDir dir;
    std::string path = dir.file("S.BIN");
    std::string data = Pattern(10000);
    WriteAll(path, data);
    TBufferedFileStream s(path, fmOpenRead);
    char c[4];
    s.ReadBuffer(c, 4);
    EXPECT_EQ(s.Seek(4, soFromBeginning), 4);
    EXPECT_EQ(s.State(), TBufferedFileStream::bsReading) << "seeking to the current position keeps the read-ahead";
    EXPECT_EQ(s.Seek(6, soFromCurrent), 10);
    EXPECT_EQ(s.State(), TBufferedFileStream::bsEmpty);
    s.ReadBuffer(c, 1);
    EXPECT_EQ(c[0], data[10]);
    EXPECT_EQ(s.Seek(3, soFromEnd), 9997);  // the offset counts back from the end
    s.ReadBuffer(c, 3);
    EXPECT_EQ(std::string(c, 3), data.substr(9997));
    EXPECT_TRUE(s.Eof());
    try {
        s.Seek(0, 3);
        ADD_FAILURE() << "unknown origin accepted";
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Seek error: unknown origin");
    }
    EXPECT_THROW(s.Seek(-1, soFromBeginning), EStreamError);
}

TEST(BufferedFileStream, FailedWritesRaise)
{
    EXPECT_THROW(TBufferedFileStream("/nonexistent-folder/X.BIN", fmOpenRead), EFOpenError);
    EXPECT_THROW(TBufferedFileStream("/nonexistent-folder/X.BIN", fmCreate), EFCreateError);
    // /dev/full takes no bytes: a full buffer and an explicit flush both report it.
    TBufferedFileStream s("/dev/full", fmOpenWrite);
    std::string block(8192, 'x');
    EXPECT_THROW(s.Write(block.data(), 8192), EWriteError);
    s.WriteBuffer("abc", 3);
    EXPECT_THROW(s.Flush(), EWriteError);
    s.WriteBuffer("abc", 3);
    EXPECT_THROW(s.Seek(0, soFromBeginning), EStreamError);
}

TEST(BufferedFileStream, AtomicRewriteReplacesTheFileOnlyOnCommit)
{
    TempDir dir;
    std::string path = dir.file("KORVAL.CTY");
    WriteAll(path, "old");
    {
        TBufferedFileStream s(path, fmCreateAtomic, true);
        s.WriteBuffer("abandoned", 9);
    }  // no commit: an error midway leaves the old file
    EXPECT_EQ(ReadAll(path), "old");
    {
        TBufferedFileStream s(path, fmCreateAtomic, true);
        std::string data = Pattern(20000);
        s.WriteBuffer(data.data(), 20000);
        EXPECT_EQ(ReadAll(path), "old");
        s.Commit();
        EXPECT_EQ(ReadAll(path), data);
        EXPECT_EQ(ReadAll(dir.file("KORVAL.~TY")), "old");
        EXPECT_THROW(s.WriteBuffer("x", 1), EStreamError);
    }
    EXPECT_EQ(ReadAll(path).size(), 20000u);
    // A prepared AtomicFile works the same way.
    auto file = std::make_unique<AtomicFile>(path);
    TBufferedFileStream s(std::move(file));
    s.WriteBuffer("new", 3);
    s.Commit();
    EXPECT_EQ(ReadAll(path), "new");
}
