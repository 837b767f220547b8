// The cipher engine, through its C-style interface as the pipelines call it, and through the body
// functions where a test needs many decryptions of one body (keys derived once, not per case).
#include "core/engines_test_support.h"
#include "engines/CipherBody.h"
#include "engines/CipherEngine.h"

#include <QBuffer>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace engines_test;
namespace body = cipher_body;

namespace {

const char* const kKey = "Ab3dEf6hIj9lMn2pQr5tUv8xYz1bCd4fGh7jKl0nOp3rSt6vWx9zAb2dEf5hIj8l";
const char* const kOtherKey = "Zb3dEf6hIj9lMn2pQr5tUv8xYz1bCd4fGh7jKl0nOp3rSt6vWx9zAb2dEf5hIj8l";
constexpr qsizetype kChunk = static_cast<qsizetype>(body::kChunkBytes);
constexpr qsizetype kHeader = static_cast<qsizetype>(body::kHeaderBytes);

// Real Argon2id, remembered per salt and parameters, so that hundreds of altered copies of one
// body cost only the derivations whose inputs really differ.
class RememberingDeriver {
  public:
    int32_t operator()(const body::BodyHeader& header, body::BodyKeys& keys)
    {
        ++calls;
        const QByteArray id = body::encode_header(header).left(static_cast<qsizetype>(body::kKdfInputBytes));
        auto known = derived_.find(id);
        if (known == derived_.end()) {
            const int32_t result = body::derive_keys(kKey, header, keys);
            if (result != cipher_result::kOk)
                return result;
            known = derived_.emplace(id, QByteArray(reinterpret_cast<const char*>(keys.data()), 64)).first;
        }
        std::copy(known->second.begin(), known->second.end(), keys.data());
        return cipher_result::kOk;
    }
    int calls = 0;

  private:
    std::map<QByteArray, QByteArray> derived_;
};

class CipherEngineTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(engine.allocate_buffers(), 0); }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    int32_t encrypt(const QByteArray& plain, const char* key = kKey) { return encrypt_with(engine, plain, key); }
    int32_t decrypt(const QByteArray& bodyBytes, const char* key = kKey)
    {
        return decrypt_with(engine, bodyBytes, key);
    }

    int32_t encrypt_with(CipherEngine& with, const QByteArray& plain, const char* key = kKey)
    {
        write_file(path("plain"), plain);
        with.operation_initialization(key, 1, plain.size(), 0);
        return with.encrypt_file(utf8(path("plain")).c_str(), utf8(path("body")).c_str());
    }

    int32_t decrypt_with(CipherEngine& with, const QByteArray& bodyBytes, const char* key = kKey)
    {
        write_file(path("body"), bodyBytes);
        with.operation_initialization(key, 0, bodyBytes.size(), 0);
        return with.decrypt_file(utf8(path("body")).c_str(), utf8(path("out")).c_str());
    }

    // Decrypts with keys derived once per salt; what the engine would return for this body.
    int32_t decrypt_remembering(const QByteArray& bodyBytes)
    {
        write_file(path("body"), bodyBytes);
        return body::decrypt_body_file(utf8(path("body")).c_str(), utf8(path("out")).c_str(), std::ref(deriver),
                                       buffers);
    }

    QByteArray encrypt_remembering(const QByteArray& plain)
    {
        write_file(path("plain"), plain);
        const int32_t result =
            body::encrypt_body_file(utf8(path("plain")).c_str(), utf8(path("body")).c_str(),
                                    body::kdf_params(KdfLevel::Interactive), std::ref(deriver), buffers);
        EXPECT_EQ(result, cipher_result::kOk);
        return read_file(path("body"));
    }

    QTemporaryDir dir;
    CipherEngine engine{KdfLevel::Interactive};
    RememberingDeriver deriver;
    body::ChunkBuffers buffers;
};

struct RoundTripCase {
    const char* name;
    qsizetype size;
    friend void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }
};

class CipherEngineRoundTrip : public CipherEngineTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(CipherEngineRoundTrip, DecryptsExactlyWhatWasEncrypted)
{
    const QByteArray plain = random_bytes(GetParam().size);
    ASSERT_EQ(encrypt(plain), cipher_result::kOk);
    const QByteArray sealed = read_file(path("body"));
    EXPECT_FALSE(plain.size() > 16 && sealed.contains(plain.left(16)));

    ASSERT_EQ(decrypt(sealed), cipher_result::kOk);
    EXPECT_EQ(read_file(path("out")), plain);
    EXPECT_EQ(QFileInfo(path("out")).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
    EXPECT_EQ(folder_entries(dir), "body out plain");
}

INSTANTIATE_TEST_SUITE_P(Sizes, CipherEngineRoundTrip,
                         ::testing::Values(RoundTripCase{"Empty", 0}, RoundTripCase{"OneByte", 1},
                                           RoundTripCase{"ChunkLessOne", kChunk - 1}, RoundTripCase{"OneChunk", kChunk},
                                           RoundTripCase{"ChunkPlusOne", kChunk + 1},
                                           RoundTripCase{"ThreeHundredChunks", 300 * kChunk + 123}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CipherEngineTest, ReadsTheParametersStoredInTheBodyWhateverTheLevelSetForWriting)
{
    const QByteArray plain("written at the interactive level");
    ASSERT_EQ(encrypt(plain), cipher_result::kOk);
    CipherEngine sensitive(KdfLevel::Sensitive);
    const int32_t result = decrypt_with(sensitive, read_file(path("body")));
    ASSERT_EQ(result, cipher_result::kOk);
    EXPECT_EQ(read_file(path("out")), plain);
}

TEST_F(CipherEngineTest, WrongKeyAndChangedDataAreToldApartAndLeaveNoOutput)
{
    ASSERT_EQ(encrypt(QByteArray(1000, 'm')), cipher_result::kOk);
    const QByteArray sealed = read_file(path("body"));
    QByteArray changedData = sealed;
    changedData[kHeader + 500] = static_cast<char>(changedData[kHeader + 500] ^ 0x20);

    EXPECT_EQ(decrypt(sealed, kOtherKey), cipher_result::kWrongKey);
    EXPECT_EQ(decrypt(changedData), cipher_result::kDamagedChunk);
    EXPECT_EQ(folder_entries(dir), "body plain");
}

TEST_F(CipherEngineTest, AKeyServesOneOperationOnly)
{
    ASSERT_EQ(encrypt("once"), cipher_result::kOk);
    EXPECT_EQ(engine.encrypt_file(utf8(path("plain")).c_str(), utf8(path("again")).c_str()),
              cipher_result::kKeyNotDerivable);
    EXPECT_EQ(engine.decrypt_file(utf8(path("body")).c_str(), utf8(path("out")).c_str()),
              cipher_result::kKeyNotDerivable);
    EXPECT_EQ(folder_entries(dir), "body plain");
}

TEST_F(CipherEngineTest, FilesThatCannotBeReadOrWrittenOrAreNoBodyFailWithTheirCode)
{
    struct Case {
        const char* what;
        QByteArray bodyBytes; // written to "body" unless null
        const char* input;
        const char* output;
        int32_t expected;
    };
    const Case cases[] = {
        {"missing input", QByteArray(), "missing", "out", cipher_result::kInputUnreadable},
        {"output folder missing", "QLB", "body", "no/such/folder/out", cipher_result::kOutputUnwritable},
        {"empty file", "", "body", "out", cipher_result::kNotABody},
        {"plain text", QByteArray(500, 't'), "body", "out", cipher_result::kNotABody},
        {"unknown version", QByteArray("QLB\x02") + QByteArray(200, '\0'), "body", "out", cipher_result::kNotABody},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path("body"));
        if (!c.bodyBytes.isNull())
            write_file(path("body"), c.bodyBytes);
        engine.operation_initialization(kKey, 0, 0, 0);
        EXPECT_EQ(engine.decrypt_file(utf8(path(c.input)).c_str(), utf8(path(c.output)).c_str()), c.expected);
        EXPECT_FALSE(QFile::exists(path("out")));
    }
    engine.operation_initialization(kKey, 1, 0, 0);
    EXPECT_EQ(engine.encrypt_file(utf8(path("missing")).c_str(), utf8(path("out")).c_str()),
              cipher_result::kInputUnreadable);
    engine.operation_initialization(kKey, 1, 0, 0);
    EXPECT_EQ(engine.encrypt_file(utf8(path("body")).c_str(), utf8(path("no/such/folder/out")).c_str()),
              cipher_result::kOutputUnwritable);
    EXPECT_EQ(folder_entries(dir), "body");
}

// What a one-bit change at each offset of a small body must give.
int32_t expected_for_change(const QByteArray& original, const QByteArray& changed, qsizetype offset)
{
    body::BodyHeader before;
    body::BodyHeader after;
    body::parse_header(original, before);
    if (offset < 4)
        return cipher_result::kNotABody;
    if (offset < 12)
        return body::parse_header(changed, after) == cipher_result::kMalformed ? cipher_result::kMalformed
                                                                               : cipher_result::kWrongKey;
    if (offset < 60) // salt and key-check value: the key no longer matches
        return cipher_result::kWrongKey;
    if (offset < 68) { // the stated length: more than there is, or less
        body::parse_header(changed, after);
        return after.plainLength > before.plainLength ? cipher_result::kTruncated : cipher_result::kMalformed;
    }
    return cipher_result::kDamagedChunk;
}

TEST_F(CipherEngineTest, EverySingleByteChangeFailsWithItsCodeAndLeavesNoOutput)
{
    const QByteArray sealed = encrypt_remembering("abc");
    ASSERT_EQ(sealed.size(), kHeader + 3 + static_cast<qsizetype>(body::kChunkOverhead));
    ASSERT_EQ(decrypt_remembering(sealed), cipher_result::kOk);
    QFile::remove(path("out"));

    for (qsizetype offset = 0; offset < sealed.size(); ++offset) {
        QByteArray changed = sealed;
        changed[offset] = static_cast<char>(changed[offset] ^ 0x01);
        SCOPED_TRACE(offset);
        EXPECT_EQ(decrypt_remembering(changed), expected_for_change(sealed, changed, offset));
        EXPECT_EQ(folder_entries(dir), "body plain");
    }
}

TEST_F(CipherEngineTest, EveryTruncationFailsAndLeavesNoOutput)
{
    const QByteArray small = encrypt_remembering("abc");
    for (qsizetype length = 0; length < small.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_EQ(decrypt_remembering(small.left(length)),
                  length < kHeader ? cipher_result::kNotABody : cipher_result::kTruncated);
    }
    // A body of two chunks cut exactly after its first, complete and authentic, chunk.
    const QByteArray twoChunks = encrypt_remembering(random_bytes(kChunk + 10));
    const qsizetype firstChunkEnd = kHeader + kChunk + static_cast<qsizetype>(body::kChunkOverhead);
    EXPECT_EQ(decrypt_remembering(twoChunks.left(firstChunkEnd)), cipher_result::kTruncated);
    EXPECT_EQ(decrypt_remembering(twoChunks.chopped(1)), cipher_result::kTruncated);
    EXPECT_EQ(folder_entries(dir), "body plain");
}

TEST_F(CipherEngineTest, DataAfterTheFinalChunkIsRefused)
{
    const QByteArray sealed = encrypt_remembering("abc");
    const QByteArray finalChunk = sealed.mid(kHeader);
    for (const QByteArray& extra : {QByteArray(1, '\0'), finalChunk}) {
        EXPECT_EQ(decrypt_remembering(sealed + extra), cipher_result::kMalformed);
        EXPECT_EQ(folder_entries(dir), "body plain");
    }
}

TEST_F(CipherEngineTest, KeyDerivationParametersOutOfBoundsAreRefusedBeforeAnyDerivation)
{
    const QByteArray sealed = encrypt_remembering("abc");
    body::BodyHeader header;
    ASSERT_EQ(body::parse_header(sealed, header), cipher_result::kOk);
    const body::KdfParams outOfBounds[] = {
        {5, 64 * 1024},       // more passes than the sensitive level
        {0, 64 * 1024},       // no pass at all
        {2, 1024 * 1024 + 1}, // 1 GiB and one KiB
        {2, 0xFFFFFFFF},      // 4 TiB
        {2, 4},               // below libsodium's minimum of 8 KiB
    };
    for (const body::KdfParams& params : outOfBounds) {
        SCOPED_TRACE(testing::Message() << params.opsLimit << " passes, " << params.memLimitKiB << " KiB");
        header.kdf = params;
        const int callsBefore = deriver.calls;
        EXPECT_EQ(decrypt_remembering(body::encode_header(header) + sealed.mid(kHeader)), cipher_result::kMalformed);
        EXPECT_EQ(deriver.calls, callsBefore);
        EXPECT_EQ(folder_entries(dir), "body plain");
    }
}

} // namespace

namespace {

// A plain-text source that asks the run to stop once the first chunk has been read from it.
class StopAfterFirstRead : public QBuffer {
  public:
    StopAfterFirstRead(const QByteArray& bytes, StopFlag& flag) : flag_(flag)
    {
        setData(bytes);
        open(QIODevice::ReadOnly);
    }

  protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        flag_.Request();
        return QBuffer::readData(data, maxSize);
    }

  private:
    StopFlag& flag_;
};

} // namespace

TEST_F(CipherEngineTest, AStopAskedForDuringTheDerivationEndsEitherDirectionWithoutOutput)
{
    const QByteArray sealed = encrypt_remembering(random_bytes(3 * kChunk));
    StopFlag flag;
    const auto stoppingDeriver = [&](const body::BodyHeader& header, body::BodyKeys& keys) {
        flag.Request();
        return deriver(header, keys);
    };

    write_file(path("plain"), random_bytes(3 * kChunk));
    EXPECT_EQ(body::encrypt_body_file(utf8(path("plain")).c_str(), utf8(path("stopped")).c_str(),
                                      body::kdf_params(KdfLevel::Interactive), stoppingDeriver, buffers, &flag),
              cipher_result::kStopped);
    flag.Reset();
    write_file(path("body"), sealed);
    EXPECT_EQ(
        body::decrypt_body_file(utf8(path("body")).c_str(), utf8(path("out")).c_str(), stoppingDeriver, buffers, &flag),
        cipher_result::kStopped);
    EXPECT_EQ(folder_entries(dir), "body plain");
}

TEST_F(CipherEngineTest, AStopAskedForWhileAChunkIsSealedEndsTheRunBeforeTheNextChunk)
{
    StopFlag flag;
    StopAfterFirstRead plain(random_bytes(3 * kChunk), flag);
    QBuffer sealed;
    sealed.open(QIODevice::WriteOnly);

    EXPECT_EQ(
        body::encrypt_body(plain, sealed, body::kdf_params(KdfLevel::Interactive), std::ref(deriver), buffers, &flag),
        cipher_result::kStopped);
    EXPECT_EQ(sealed.size(), kHeader + kChunk + static_cast<qsizetype>(body::kChunkOverhead));
}

TEST_F(CipherEngineTest, TheEngineChecksTheStopFlagItWasGiven)
{
    StopFlag flag;
    flag.Request();
    CipherEngine stopping(KdfLevel::Interactive, &flag);
    const int32_t stopped = encrypt_with(stopping, "stopped before it began");
    EXPECT_EQ(stopped, cipher_result::kStopped);
    EXPECT_EQ(folder_entries(dir), "plain");
    EXPECT_EQ(encrypt("no flag: to the end"), cipher_result::kOk);
}
