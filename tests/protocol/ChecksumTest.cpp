#include "protocol/Em_Base64.h"
#include "protocol/Em_Checksum.h"
#include "protocol/Em_Critcal_Section.h"
#include "tests/protocol/TestData.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace Fjarnis2011::FJParse;

namespace {
const uint8_t kCheck[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
}

TEST(Crc32, CheckValueOfTheReflectedVariantWithoutInversion) {
    EXPECT_EQ(Calc_Crc32(kCheck, 9), 0x2DFD2D88u);
    uint8_t frame[13];
    std::memcpy(frame, kCheck, 9);
    const uint32_t crc = Calc_Crc32(kCheck, 9);
    for (int i = 0; i < 4; ++i) frame[9 + i] = uint8_t(crc >> (8 * i));  // little-endian CRC
    EXPECT_TRUE(Check_Crc32(frame, 13));
    frame[3] ^= 0x10;
    EXPECT_FALSE(Check_Crc32(frame, 13));
    EXPECT_TRUE(Check_Crc32(frame, 0)) << "no bytes: nothing to reject";
    EXPECT_TRUE(Check_Crc32(nullptr, 5));
}

TEST(Crc32, EveryLogOfTheNovAtelCaptureChecks) {
    // AA 44 12 | header length | message id (2) | ... | message length at 8 (LE16)
    const auto data = LoadCapture("oemv_head64k.gps");
    ASSERT_FALSE(data.empty());
    int logs = 0;
    for (size_t i = 0; i + 28 <= data.size();) {
        if (data[i] == 0xAA && data[i + 1] == 0x44 && data[i + 2] == 0x12 && data[i + 3] == 28) {
            const size_t len = 28 + (data[i + 8] | (data[i + 9] << 8)) + 4;
            if (i + len > data.size()) break;  // the cut one at the end
            ASSERT_TRUE(Check_Crc32(&data[i], int(len))) << "log at " << i;
            ++logs;
            i += len;
        } else {
            ++i;
        }
    }
    EXPECT_GT(logs, 50);
}

TEST(Crc24q, CheckValueAndEveryFrameOfTheRtcmCapture) {
    EXPECT_EQ(Calc_Crc24q(kCheck, 9), 0xCDE703u);
    EXPECT_EQ(Calc_Crc24q(kCheck, 0), 0u);

    // The capture opens with receiver chatter; from the first frame on, RTCM 3
    // frames follow each other, and every one carries the CRC we compute.
    const auto data = LoadCapture("testglo.rtcm3");
    ASSERT_FALSE(data.empty());
    size_t i = 0;
    while (i < data.size() && !(data[i] == 0xD3 && (data[i + 1] & 0xFC) == 0)) ++i;
    int frames = 0;
    while (i + 6 <= data.size()) {
        ASSERT_EQ(data[i], 0xD3) << "frame at " << i;
        ASSERT_EQ(data[i + 1] & 0xFC, 0);
        const size_t len = ((data[i + 1] & 3) << 8) | data[i + 2];
        if (i + 3 + len + 3 > data.size()) break;
        const uint32_t expect = (data[i + 3 + len] << 16) | (data[i + 4 + len] << 8) | data[i + 5 + len];
        ASSERT_EQ(Calc_Crc24q(&data[i], int(3 + len)), expect) << "frame at " << i;
        ++frames;
        i += 3 + len + 3;
    }
    EXPECT_GT(frames, 50);
}

TEST(Base64, PartCasesAndRoundTripOfAllBytes) {
    struct Case { const char* plain; const char* coded; };
    const Case cases[] = {{"abc", "YWJj"}, {"ab", "YWI="}, {"a", "YQ=="}, {"", ""},
                          {"user:pass", "dXNlcjpwYXNz"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Em_Base64::base64_encode(reinterpret_cast<const unsigned char*>(c.plain),
                                           unsigned(std::strlen(c.plain))), c.coded);
        EXPECT_EQ(Em_Base64::base64_decode(c.coded), c.plain);
    }
    EXPECT_EQ(Em_Base64::base64_decode("YW"), "a");
    EXPECT_EQ(Em_Base64::base64_decode("YWJj!YWJj"), "abc") << "decoding stops at a bad character";
    EXPECT_EQ(Em_Base64::base64_decode("Y"), "") << "a single leftover character gives nothing";

    unsigned char all[256];
    for (int i = 0; i < 256; ++i) all[i] = static_cast<unsigned char>(i);
    for (unsigned n : {256u, 255u, 254u}) {
        const std::string coded = Em_Base64::base64_encode(all, n);
        EXPECT_EQ(coded.size(), (n + 2) / 3 * 4);
        EXPECT_EQ(Em_Base64::base64_decode(coded), std::string(reinterpret_cast<char*>(all), n));
    }
}

TEST(CriticalSection, RecursiveForTheOwnerExclusiveAcrossThreads) {
    Em_Critcal_Section cs;
    cs.InitializeSection();
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            Em_CrtSect_Lock outer(&cs);
            Em_CrtSect_Lock inner(&cs);  // a locked call running another locked call
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 40000);
    {
        Em_CrtSect_Lock none(nullptr);  // enters and leaves nothing
    }
    cs.DeleteSection();
}
