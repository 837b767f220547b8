// The packer through its C-style interface, as the pipelines call it: what lands on disk.
#include "core/engines_test_support.h"
#include "engines/Packer.h"
#include "engines/StopFlag.h"

#include <gtest/gtest.h>

using namespace engines_test;

namespace {

QByteArray sample_text(qsizetype size)
{
    const QByteArray line(
        "Dear Ms. Lindqvist, the quarterly figures are attached; please treat them as confidential.\n");
    return line.repeated(size / line.size() + 1).left(size);
}

class PackerTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(packer.alb(), 0); }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    int32_t compress(const QByteArray& plain, const char* out = "packed")
    {
        write_file(path("plain"), plain);
        return packer.cf(utf8(path("plain")).c_str(), utf8(path(out)).c_str(), 0);
    }

    int32_t decompress(const QByteArray& packed)
    {
        write_file(path("packed"), packed);
        return packer.dcf(utf8(path("packed")).c_str(), utf8(path("unpacked")).c_str(), 0);
    }

    QByteArray packed(const QByteArray& plain)
    {
        EXPECT_EQ(compress(plain), packer_result::kOk);
        return read_file(path("packed"));
    }

    QTemporaryDir dir;
    Packer packer;
};

struct RoundTripCase {
    const char* name;
    QByteArray content;
    friend void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }
};

class PackerRoundTrip : public PackerTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(PackerRoundTrip, DecompressesExactlyWhatWasCompressed)
{
    const QByteArray& plain = GetParam().content;
    ASSERT_EQ(compress(plain), packer_result::kOk);
    ASSERT_EQ(packer.dcf(utf8(path("packed")).c_str(), utf8(path("unpacked")).c_str(), 0), packer_result::kOk);
    EXPECT_EQ(read_file(path("unpacked")), plain);
    EXPECT_EQ(folder_entries(dir), "packed plain unpacked");
}

INSTANTIATE_TEST_SUITE_P(
    Contents, PackerRoundTrip,
    ::testing::Values(RoundTripCase{"Empty", QByteArray("")}, RoundTripCase{"SmallText", sample_text(300)},
                      RoundTripCase{"Incompressible", random_bytes(200'000)},
                      RoundTripCase{"LargestPackage",
                                    sample_text(100'000) + random_bytes(kLargestPackageBytes - 100'000)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PackerTest, TextShrinksAndRandomBytesGrowByNoMoreThanAFraction)
{
    const QByteArray text = sample_text(60'000);
    const QByteArray noise = random_bytes(2'000'000);
    EXPECT_LT(packed(text).size(), text.size() / 10);
    EXPECT_LT(packed(noise).size(), noise.size() + noise.size() / 100);
}

TEST_F(PackerTest, DamagedCutOrExtendedFramesAreRefusedAndLeaveNoOutput)
{
    const QByteArray frame = packed(sample_text(50'000) + random_bytes(5'000));
    QByteArray damaged = frame;
    damaged[frame.size() / 2] = static_cast<char>(damaged[frame.size() / 2] ^ 0x04);
    QByteArray damagedChecksum = frame;
    damagedChecksum[frame.size() - 1] = static_cast<char>(damagedChecksum[frame.size() - 1] ^ 0x01);
    const QByteArray tooLarge = packed(QByteArray(static_cast<qsizetype>(kDecompressedBound) + 1, 'z'));

    const struct {
        const char* what;
        QByteArray input;
        int32_t expected;
    } cases[] = {
        {"empty input", QByteArray(""), packer_result::kDamagedFrame},
        {"not a frame", sample_text(1000), packer_result::kDamagedFrame},
        {"changed byte", damaged, packer_result::kDamagedFrame},
        {"changed checksum", damagedChecksum, packer_result::kDamagedFrame},
        {"cut short", frame.chopped(5), packer_result::kDamagedFrame},
        {"trailing garbage", frame + "x", packer_result::kTrailingData},
        {"a second frame", frame + frame, packer_result::kTrailingData},
        {"beyond the largest package", tooLarge, packer_result::kTooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decompress(c.input), c.expected);
        EXPECT_EQ(folder_entries(dir), "packed plain");
    }
}

// One zstd frame made by hand: a window descriptor (exponent and mantissa byte), the content size
// stated, and the content as one raw block.
QByteArray frame_with_window(unsigned char windowDescriptor, const QByteArray& content)
{
    const auto size = static_cast<uint32_t>(content.size());
    const uint32_t blockHeader = size << 3 | 1; // raw block, the last one
    QByteArray frame("\x28\xB5\x2F\xFD", 4);
    frame += static_cast<char>(0x40); // content size in two bytes (size - 256), no single segment
    frame += static_cast<char>(windowDescriptor);
    frame += static_cast<char>((size - 256) & 0xFF);
    frame += static_cast<char>((size - 256) >> 8);
    for (int shift = 0; shift < 24; shift += 8)
        frame += static_cast<char>(blockHeader >> shift & 0xFF);
    return frame + content;
}

TEST_F(PackerTest, FramesDeclaringWindowsAbove8MiBAreRefusedWhateverTheirContent)
{
    const QByteArray content = sample_text(300);
    ASSERT_EQ(decompress(frame_with_window(0x68, content)), packer_result::kOk) << "8 MiB: the largest accepted";
    EXPECT_EQ(read_file(path("unpacked")), content);
    ASSERT_TRUE(QFile::remove(path("unpacked")));
    for (const unsigned char descriptor : {0x69 /* 9 MiB */, 0x88 /* 128 MiB */, 0xA8 /* 2 GiB */}) {
        SCOPED_TRACE(descriptor);
        EXPECT_EQ(decompress(frame_with_window(descriptor, content)), packer_result::kDamagedFrame);
        EXPECT_EQ(folder_entries(dir), "packed");
    }
}

TEST_F(PackerTest, UnreadableInputUnwritableOutputOrNoContextsFailAndLeaveNoOutput)
{
    write_file(path("plain"), "some text");
    EXPECT_EQ(packer.cf(utf8(path("missing")).c_str(), utf8(path("packed")).c_str(), 0),
              packer_result::kInputUnreadable);
    EXPECT_EQ(packer.dcf(utf8(path("missing")).c_str(), utf8(path("packed")).c_str(), 0),
              packer_result::kInputUnreadable);
    EXPECT_EQ(compress("some text", "no/such/folder/packed"), packer_result::kOutputUnwritable);
    packer.dalb();
    EXPECT_EQ(compress("some text"), packer_result::kNotReady);
    EXPECT_EQ(folder_entries(dir), "plain");
}

TEST_F(PackerTest, AStopAskedForEndsBothDirectionsWithoutOutput)
{
    const QByteArray text = sample_text(500'000);
    const QByteArray frame = packed(text);
    StopFlag flag;
    flag.Request();
    Packer stopping(&flag);
    ASSERT_NE(stopping.alb(), 0);
    write_file(path("plain"), text);
    const int32_t compressed = stopping.cf(utf8(path("plain")).c_str(), utf8(path("stopped")).c_str(), 0);
    write_file(path("packed"), frame);
    const int32_t decompressed = stopping.dcf(utf8(path("packed")).c_str(), utf8(path("unpacked")).c_str(), 0);

    EXPECT_EQ(compressed, packer_result::kStopped);
    EXPECT_EQ(decompressed, packer_result::kStopped);
    EXPECT_EQ(folder_entries(dir), "packed plain");
}

} // namespace
