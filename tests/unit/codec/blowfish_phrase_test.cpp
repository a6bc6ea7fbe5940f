#include "codec/blowfish_phrase.h"

#include <gcrypt.h>
#include <gtest/gtest.h>

#include "codec/base64.h"
#include "codec/crypto_init.h"
#include "codec/digest.h"
#include "codec/secrets.h"
#include "test_util.h"

namespace orlo {
namespace {

constexpr std::string_view kPhrase = "A71D94F2-6C3B-4E58-9D17-2F6E0B83C5AA";
constexpr BlowfishIv kIv = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};

// Bare Blowfish under SHA-1(phrase), to rebuild the expected chaining by hand.
Bytes BlowfishBlock(ByteView block, std::string_view phrase) {
    EnsureCryptoReady();
    gcry_cipher_hd_t h = nullptr;
    EXPECT_EQ(gcry_cipher_open(&h, GCRY_CIPHER_BLOWFISH, GCRY_CIPHER_MODE_ECB, 0), 0u);
    const Bytes key = Sha1(AsBytes(phrase));
    EXPECT_EQ(gcry_cipher_setkey(h, key.data(), key.size()), 0u);
    Bytes out(8);
    gcry_cipher_encrypt(h, out.data(), 8, block.data(), 8);
    gcry_cipher_close(h);
    return out;
}

Bytes Xor(ByteView a, ByteView b, std::size_t n) {
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = a[i] ^ b[i];
    return out;
}

TEST(BlowfishPhrase, RoundTripKeepsLengthPlusIv) {
    std::mt19937 rng(5);
    for (std::size_t len : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 2332u}) {
        SCOPED_TRACE(len);
        const Bytes plain = test::RandomBytes(len, rng);
        const Bytes cipher = BlowfishEncryptBytes(plain, kPhrase);
        EXPECT_EQ(cipher.size(), len == 0 ? 0 : len + 8);
        const Result<Bytes> back = BlowfishDecryptBytes(cipher, kPhrase);
        ASSERT_TRUE(back.ok()) << back.error();
        EXPECT_EQ(*back, plain);
    }
}

TEST(BlowfishPhrase, ProfileRecordEncipheredTwiceIs2348Bytes) {
    std::mt19937 rng(9);
    const Bytes record = test::RandomBytes(2332, rng);
    const Bytes inner = BlowfishEncryptBytes(record, secrets::kProfileInnerPhrase);
    const Bytes outer = BlowfishEncryptBytes(inner, secrets::kProfileOuterPhrase);
    EXPECT_EQ(outer.size(), 2348u);
    const Result<Bytes> first = BlowfishDecryptStream(outer, secrets::kProfileOuterPhrase);
    ASSERT_TRUE(first.ok());
    const Result<Bytes> second = BlowfishDecryptStream(*first, secrets::kProfileInnerPhrase);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(*second, record);
}

TEST(BlowfishPhrase, InjectedIvGivesTheDocumentedChaining) {
    const Bytes iv(kIv.begin(), kIv.end());
    struct Case {
        const char* name;
        std::string plain;
    };
    const Case cases[] = {
        {"shorter than a block", "hello"},
        {"exactly one block", "12345678"},
        {"blocks and a tail", "The quick brown fox!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteView plain = AsBytes(c.plain);
        Bytes expected = iv;
        Bytes prev = iv;
        std::size_t i = 0;
        for (; i + 8 <= plain.size(); i += 8) {
            prev = BlowfishBlock(Xor(plain.subspan(i, 8), prev, 8), kPhrase);
            expected.insert(expected.end(), prev.begin(), prev.end());
        }
        const std::size_t r = plain.size() - i;
        if (r > 0) {
            const Bytes tail = Xor(plain.subspan(i), BlowfishBlock(prev, kPhrase), r);
            expected.insert(expected.end(), tail.begin(), tail.end());
        }
        EXPECT_EQ(test::ToHex(BlowfishEncryptBytes(plain, kPhrase, kIv)), test::ToHex(expected));
    }
}

TEST(BlowfishPhrase, KeyIsSha1OfUtf8Phrase) {
    // Phrases that only share a prefix, or differ in one non-ASCII character, must differ.
    const Bytes plain(16, 0x41);
    const Bytes a = BlowfishEncryptBytes(plain, "\xE5\xAF\x86\xE7\xA0\x81", kIv);
    const Bytes b = BlowfishEncryptBytes(plain, "\xE5\xAF\x86\xE7\xA0\x82", kIv);
    EXPECT_NE(a, b);
    EXPECT_EQ(*BlowfishDecryptBytes(a, "\xE5\xAF\x86\xE7\xA0\x81"), plain);
}

TEST(BlowfishPhrase, FreshIvEachTime) {
    const Bytes plain(24, 0);
    EXPECT_NE(BlowfishEncryptBytes(plain, kPhrase), BlowfishEncryptBytes(plain, kPhrase));
}

TEST(BlowfishPhrase, TamperingChangesThePlainText) {
    const std::string text = "server list cache: zone 1, zone 2, zone 3";
    const Bytes cipher = BlowfishEncryptBytes(AsBytes(text), kPhrase, kIv);
    for (std::size_t pos : {std::size_t{0}, std::size_t{8}, cipher.size() - 1}) {
        SCOPED_TRACE(pos);
        Bytes bad = cipher;
        bad[pos] ^= 0x01;
        const Result<Bytes> r = BlowfishDecryptBytes(bad, kPhrase);
        ASSERT_TRUE(r.ok());
        EXPECT_NE(AsString(*r), text);
    }
    const Result<Bytes> wrong = BlowfishDecryptBytes(cipher, "another phrase");
    ASSERT_TRUE(wrong.ok());
    EXPECT_NE(AsString(*wrong), text);
}

TEST(BlowfishPhrase, CipherBytesShorterThanIvFail) {
    for (std::size_t len = 1; len < 8; ++len) {
        SCOPED_TRACE(len);
        const Result<Bytes> r = BlowfishDecryptBytes(Bytes(len, 0xAA), kPhrase);
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.error().find("shorter"), std::string::npos) << r.error();
    }
    EXPECT_TRUE(BlowfishDecryptBytes(Bytes(8, 0xAA), kPhrase)->empty());
    EXPECT_TRUE(BlowfishDecryptBytes({}, kPhrase)->empty());
}

TEST(BlowfishString, RoundTripsUtf8Text) {
    const std::string cases[] = {"", "a", "\xE6\x9C\x8D\xE5\x8A\xA1\xE5\x99\xA8 list", std::string(1000, 'x')};
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.size());
        const std::string cipher = BlowfishEncryptString(text, kPhrase);
        EXPECT_TRUE(Base64Decode(cipher).ok());
        const Result<std::string> back = BlowfishDecryptString(cipher, kPhrase);
        ASSERT_TRUE(back.ok()) << back.error();
        EXPECT_EQ(*back, text);

        const Result<std::string> shared = DecryptWithSharedPhrase(EncryptWithSharedPhrase(text));
        ASSERT_TRUE(shared.ok()) << shared.error();
        EXPECT_EQ(*shared, text);
    }
}

TEST(BlowfishString, MalformedCipherTextFails) {
    const std::pair<std::string, std::string> cases[] = {
        {"not base64!", "Base64"},
        {"QUJD", "shorter"},  // 3 bytes
        {"QUJDREVGRw=", "Base64"},
    };
    for (const auto& [text, why] : cases) {
        SCOPED_TRACE(text);
        const Result<std::string> s = BlowfishDecryptString(text, kPhrase);
        ASSERT_FALSE(s.ok());
        EXPECT_NE(s.error().find(why), std::string::npos) << s.error();
        EXPECT_FALSE(DecryptWithSharedPhrase(text).ok());
        EXPECT_FALSE(DecryptLaunchRecord(text).ok());
    }
}

TEST(LaunchRecord, RoundTripsBinaryRecord) {
    Bytes record(300);
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(i * 7);
    const std::string text = EncryptLaunchRecord(record);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    const Result<Bytes> back = DecryptLaunchRecord(text);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_EQ(*back, record);
    EXPECT_EQ(*BlowfishDecryptBytes(*Base64Decode(BlowfishEncryptMemory(record, kPhrase)), kPhrase), record);
}

}  // namespace
}  // namespace orlo
