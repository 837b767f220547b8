// What the key routines leave in memory they give back. This executable replaces free() and
// realloc() with versions that, while a test watches, look into every block on its way back to the
// allocator for pieces of the key; then they hand it on to glibc unchanged. A block that still holds
// the key when it is freed would end up in a core file or in the next allocation as it is.
#include "format/PlainPackage.h"
#include "format/RandomnessStatistics.h"
#include "keys/KeyRoutines.h"
#include "pipeline/EncryptPipeline.h"
#include "support/ScriptedDialogs.h"
#include "texts/Language.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <malloc.h>

extern "C" void __libc_free(void* block);
extern "C" void* __libc_realloc(void* block, size_t size);

namespace {

struct Pattern {
    const char* bytes = nullptr;
    size_t size = 0;
};

std::atomic<bool> watching{false};
std::atomic<int> blocksWithKey{0};
Pattern patterns[3];

bool HoldsKey(void* block)
{
    const size_t size = malloc_usable_size(block);
    for (const Pattern& pattern : patterns) {
        if (pattern.size != 0 && memmem(block, size, pattern.bytes, pattern.size) != nullptr)
            return true;
    }
    return false;
}

bool Watched(void* block)
{
    return block != nullptr && watching.load(std::memory_order_relaxed) && HoldsKey(block);
}

} // namespace

extern "C" void free(void* block)
{
    if (Watched(block))
        ++blocksWithKey;
    __libc_free(block);
}

extern "C" void* realloc(void* block, size_t size)
{
    const bool heldKey = Watched(block);
    void* moved = __libc_realloc(block, size);
    if (heldKey && moved != block)
        ++blocksWithKey; // the old block went back as it was
    return moved;
}

namespace {

// A key with a letter whose upper case is longer ("ß" becomes "SS") and one outside the Basic
// Multilingual Plane, so every path of the normalisation is taken.
const QString TypedKey = QString::fromUtf8("  stra\xC3\x9F"
                                           "e quite unusual key material 4711 \xF0\x9F\x98\x80 xyzzy ");
// Pieces that only a copy of the key (typed, normalised or engine form) contains.
const char16_t NormalisedUtf16[] = u"QUITEUNUSUALKEYMATERIAL4711";
const char NormalisedUtf8[] = "QUITEUNUSUALKEYMATERIAL4711";
const char16_t TypedUtf16[] = u"quite unusual key material";

class FreedKeyMemory : public ::testing::Test {
  protected:
    void SetUp() override
    {
        patterns[0] = {reinterpret_cast<const char*>(NormalisedUtf16), sizeof NormalisedUtf16 - sizeof(char16_t)};
        patterns[1] = {NormalisedUtf8, sizeof NormalisedUtf8 - 1};
        patterns[2] = {reinterpret_cast<const char*>(TypedUtf16), sizeof TypedUtf16 - sizeof(char16_t)};
        key = TypedKey; // the caller's copy, alive throughout
        key.detach();
        blocksWithKey = 0;
    }

    template <typename Body> int BlocksFreedWithKeyDuring(Body body)
    {
        blocksWithKey = 0;
        watching = true;
        body();
        watching = false;
        return blocksWithKey.load();
    }

    QString key;
};

// The watch can fail: a copy of the normalised key dropped unwiped is seen.
TEST_F(FreedKeyMemory, AnUnwipedCopyIsSeen)
{
    EXPECT_GT(BlocksFreedWithKeyDuring([&] {
                  QString copy = QString::fromUtf16(NormalisedUtf16);
                  copy.detach();
              }),
              0);
}

TEST_F(FreedKeyMemory, TheKeyRoutinesGiveBackNoBlockHoldingTheKey)
{
    int significant = 0, checksum = 0;
    QByteArray engineKey;
    QString accepted, normalised;
    const int blocks = BlocksFreedWithKeyDuring([&] {
        significant = Keys::SignificantLength(key);
        checksum = Keys::KeyChecksum(key);
        engineKey = Keys::MakeEngineKey(key);
        accepted = Keys::PrepareAcceptedKey(key);
        normalised = Keys::NormalizeKey(key);
        // The callers' part: every result that holds the key is wiped.
        Keys::WipeBytes(engineKey);
        Keys::WipeString(accepted);
        Keys::WipeString(normalised);
    });
    EXPECT_EQ(blocks, 0);
    EXPECT_EQ(significant, 40); // "SS" for "ß", one for the emoji
    EXPECT_GE(checksum, 1000);
}

// A wipe overwrites the storage that holds the key, not a copy made of it: the block that goes back
// holds nothing. A copy that shares the storage is only let go of (the other holder still reads
// the key, intact), and the last holder's wipe clears it.
TEST_F(FreedKeyMemory, AWipeClearsTheStorageItselfAndLeavesASharedOneToItsLastHolder)
{
    int blocks = BlocksFreedWithKeyDuring([&] {
        QString typed = key;
        typed.detach();
        QByteArray bytes(NormalisedUtf8);
        EXPECT_TRUE(Keys::WipeString(typed));
        EXPECT_TRUE(Keys::WipeBytes(bytes));
        EXPECT_TRUE(typed.isEmpty() && bytes.isEmpty());
    });
    EXPECT_EQ(blocks, 0) << "the storage went back with the key in it";

    blocks = BlocksFreedWithKeyDuring([&] {
        QByteArray last(NormalisedUtf8);
        QByteArray shared = last;
        QString lastText = key;
        lastText.detach();
        QString sharedText = lastText;
        EXPECT_FALSE(Keys::WipeBytes(shared));
        EXPECT_FALSE(Keys::WipeString(sharedText));
        // Compared in place: a temporary holding the key would itself be a block to watch.
        EXPECT_TRUE(last.size() == sizeof NormalisedUtf8 - 1 &&
                    std::memcmp(last.constData(), NormalisedUtf8, sizeof NormalisedUtf8 - 1) == 0)
            << "the other holder's key is untouched";
        EXPECT_EQ(lastText, key);
        EXPECT_TRUE(Keys::WipeBytes(last));
        EXPECT_TRUE(Keys::WipeString(lastText));
    });
    EXPECT_EQ(blocks, 0);
}

// The same watch on the plain text of a package: parsing it and measuring it leave no copy behind,
// so wiping the package is enough.
class FreedPlainTextMemory : public FreedKeyMemory {
  protected:
    void SetUp() override
    {
        FreedKeyMemory::SetUp();
        patterns[0] = {Marker, sizeof Marker - 1};
        patterns[1] = patterns[2] = {};
        const QByteArray text = QByteArray(Marker).repeated(4000);
        package = BuildPlainPackage(text.first(5000), "report.txt", text);
        package.detach();
    }
    void TearDown() override { Keys::WipeBytes(package); }

    static constexpr char Marker[] = "plain words of the attached report ";
    QByteArray package;
};

TEST_F(FreedPlainTextMemory, ParsingThePackageLeavesNoCopy)
{
    qsizetype dataSize = 0;
    const int blocks = BlocksFreedWithKeyDuring([&] {
        const PlainPackageContent content = ParsePlainPackage(package);
        dataSize = content.data.size();
        Keys::WipeBytes(package); // what the decryption does once the fields are delivered
    });
    EXPECT_EQ(blocks, 0);
    EXPECT_EQ(dataSize, 4000 * (sizeof Marker - 1));
}

TEST_F(FreedPlainTextMemory, TheRandomnessViewKeepsNoCopy)
{
    double measure = -1.0;
    const int blocks = BlocksFreedWithKeyDuring([&] {
        RandomnessReport report; // kept by the window after the package is wiped
        ShowPlaintextStatistics(report, package, 0);
        measure = report.sides[0].measure;
        Keys::WipeBytes(package);
    });
    EXPECT_EQ(blocks, 0);
    EXPECT_GT(measure, 0.0);
}

// The message of an encryption is plain text like the key: every buffer that held it (its bytes,
// the package, the measured part) is wiped before it goes back.
class FreedMessageMemory : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0); }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        patterns[0] = {Message, sizeof Message - 1};
        patterns[1] = {};
        patterns[2] = {};
    }

    static constexpr char Message[] = "a most confidential sentence nobody else may read 8675309";
    QTemporaryDir dir;
};

TEST_F(FreedMessageMemory, EncryptingGivesBackNoBlockHoldingTheMessage)
{
    EncryptRequest request;
    request.message = QString::fromLatin1(Message);
    request.outputPath = dir.filePath(QStringLiteral("out.zip"));
    request.quickKey = QStringLiteral("Correct Horse Battery Staple 42");
    request.kdfLevel = KdfLevel::Interactive;
    request.workingFolderBase = dir.path();
    ScriptedDialogs dialogs; // No to the offer to attach a file
    EncryptOutcome outcome;
    blocksWithKey = 0;
    watching = true;
    outcome = EncryptMessage(request, dialogs);
    watching = false;
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(blocksWithKey.load(), 0);
}

} // namespace
