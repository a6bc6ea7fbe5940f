#include "codec/xxtea.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace orlo {
namespace {

using test::FromHex;
using test::ToHex;

const Bytes kKey = FromHex("30313233343536373839616263646566");  // "0123456789abcdef"

// Expected cipher bytes from an independent Python implementation of the same framing
// (it also reproduces the published all-zero vector 053704ab 575d8c80).
TEST(XXTea, MatchesReferenceImplementation) {
    struct Case {
        const char* data;
        const char* key;
        const char* cipher;
    };
    const Case cases[] = {
        {"61", "30313233343536373839616263646566", "5b218b7473eeecb6"},
        {"61626364", "30313233343536373839616263646566", "4f899b071e20367b"},
        {"48656c6c6f2c20776f726c6421", "73686f7274", "37755a2ae896d70acb2ded83cdaa1409bb271163"},
        {"7b22736572766572223a22e69c8de58aa1e599a8e4b880227d", "3031323334353637383961626364656649474e4f524544",
         "89d7ff79053bb11baad2fd6dfaca54d0a2081b6711f37ef29bdb6d05b2f25769"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f2021222324252627",
         "0102030405060708090a0b0c0d0e0f10",
         "357c6068c9ee3bc85f2a3596126d87f72adedfd560e7c56f0eb5b111edda4b080d829f66556c2b2f0f7de6e2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const Bytes data = FromHex(c.data);
        const Bytes key = FromHex(c.key);
        EXPECT_EQ(ToHex(XXTeaEncrypt(data, key)), c.cipher);
        EXPECT_EQ(XXTeaDecrypt(FromHex(c.cipher), key), data);
    }
}

TEST(XXTea, RoundTripAddsOneLengthWordAfterThePaddedData) {
    std::mt19937 rng(7);
    for (std::size_t len = 1; len <= 33; ++len) {
        SCOPED_TRACE(len);
        const Bytes data = test::RandomBytes(len, rng);
        const Bytes cipher = XXTeaEncrypt(data, kKey);
        EXPECT_EQ(cipher.size(), 4 * ((len + 3) / 4 + 1));
        EXPECT_EQ(XXTeaDecrypt(cipher, kKey), data);
    }
}

TEST(XXTea, EmptyInGivesEmptyOut) {
    EXPECT_TRUE(XXTeaEncrypt({}, kKey).empty());
    EXPECT_TRUE(XXTeaDecrypt({}, kKey).empty());
}

TEST(XXTea, OnlyTheFirstSixteenKeyBytesCount) {
    const Bytes data = {1, 2, 3, 4, 5};
    Bytes longer = kKey;
    longer.insert(longer.end(), {9, 9, 9});
    EXPECT_EQ(XXTeaEncrypt(data, longer), XXTeaEncrypt(data, kKey));
    // A short key is zero-filled, so explicit trailing zeros change nothing.
    EXPECT_EQ(XXTeaEncrypt(data, FromHex("0102")), XXTeaEncrypt(data, FromHex("01020000000000")));
}

TEST(XXTea, WrongKeyGivesEmpty) {
    const Bytes other = FromHex("30313233343536373839616263646567");
    std::mt19937 rng(11);
    int survived = 0;
    for (int i = 0; i < 200; ++i) {
        const Bytes cipher = XXTeaEncrypt(test::RandomBytes(1 + i % 20, rng), kKey);
        survived += !XXTeaDecrypt(cipher, other).empty();
    }
    EXPECT_LE(survived, 2);  // a random length word passes the check about once in a billion
}

TEST(XXTea, DecryptWorksOnZeroFilledWords) {
    // Dropping trailing zero bytes from the cipher text gives the same words.
    Bytes cipher;
    std::mt19937 rng(3);
    Bytes data;
    do {
        data = test::RandomBytes(6, rng);
        cipher = XXTeaEncrypt(data, kKey);
    } while (cipher.back() != 0);
    const Bytes trimmed(cipher.begin(), cipher.end() - 1);
    EXPECT_EQ(XXTeaDecrypt(trimmed, kKey), data);
}

TEST(XXTea, ShortDataAlwaysDecryptsToEmpty) {
    // One word is left as it is, and its length check can never pass.
    const Bytes cases[] = {{0x00}, {0x01, 0, 0, 0}, {0xFC, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF}, {0, 0, 0, 0}};
    for (const Bytes& c : cases) {
        SCOPED_TRACE(ToHex(c));
        EXPECT_TRUE(XXTeaDecrypt(c, kKey).empty());
    }
}

TEST(XXTea, DecryptOfArbitraryDataStaysInBounds) {
    std::mt19937 rng(42);
    for (std::size_t len = 0; len <= 64; ++len) {
        for (int round = 0; round < 50; ++round) {
            const Bytes data = test::RandomBytes(len, rng);
            const Bytes key = test::RandomBytes(round % 20, rng);
            const Bytes plain = XXTeaDecrypt(data, key);
            ASSERT_LE(plain.size(), len);
        }
    }
}

}  // namespace
}  // namespace orlo
