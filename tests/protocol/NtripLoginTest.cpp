// The NTRIP login the modem sends to a caster: the request text, its trip to
// the modem in "VL,S" frames, and the automatic-login packet.
#include "OldCmdFixtures.h"
#include "protocol/oldproto/Em_OldCommands.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Fjarnis2011::FJParse;
using namespace oldcmd_test;

namespace {

cors_info Cors(const std::string& mount, const std::string& user, const std::string& password) {
    cors_info c{};
    Put(c.mountPoint, mount);
    Put(c.userName, user);
    Put(c.password, password);
    return c;
}

const std::string kHead =
    " HTTP/1.0\r\n"
    "User-Agent: NTRIP GNSSInternetRadio/1.4.5\r\n"
    "Connection: Keep-Alive\r\n"
    "Accept: */*\r\n"
    "Authorization: Basic";

// The "VL,S" frames of a login joined back into the text they carry.
std::string JoinVl(const std::vector<_STR_CMD>& frames, std::vector<size_t>* sizes = nullptr) {
    std::string text;
    for (const _STR_CMD& f : frames) {
        const Dollar d = ReadDollar(f);
        EXPECT_TRUE(d.ok);
        EXPECT_EQ(d.letters, "VL");
        EXPECT_EQ(d.head, 0x1B);  // class 11, serial mode 1
        text.append(d.payload.begin(), d.payload.end());
        if (sizes) sizes->push_back(d.payload.size());
    }
    return text;
}

}  // namespace

TEST(NtripLogin, RequestTextForEachKindOfLogin) {
    // "user:pass" is dXNlcjpwYXNz in Base64; "surveyor:s3cr3t!" is c3VydmV5b3I6czNjcjN0IQ==.
    const struct {
        cors_info cors;
        std::string expected;
    } rows[] = {
        {Cors("RTCM32", "user", "pass"), "GET /RTCM32" + kHead + " dXNlcjpwYXNz\r\n\r\n"},
        {Cors("VRS", "surveyor", "s3cr3t!"), "GET /VRS" + kHead + " c3VydmV5b3I6czNjcjN0IQ==\r\n\r\n"},
        // Without a password (or a user) the line ends at "Basic": no blank, no credentials.
        {Cors("VRS", "surveyor", ""), "GET /VRS" + kHead + "\r\n\r\n"},
        {Cors("VRS", "", "secret"), "GET /VRS" + kHead + "\r\n\r\n"},
        {Cors("", "", ""), "GET /" + kHead + "\r\n\r\n"},
    };
    for (const auto& row : rows) EXPECT_EQ(BuildNtripRequest(row.cors), row.expected);
}

TEST(NtripLogin, FullFieldsWithoutTerminatorAreReadToTheirEnd) {
    cors_info c;
    std::memset(c.mountPoint, 'M', sizeof c.mountPoint);
    std::memset(c.userName, 'u', sizeof c.userName);
    std::memset(c.password, 'p', sizeof c.password);
    const std::string request = BuildNtripRequest(c);
    const std::string credentials = std::string(50, 'u') + ":" + std::string(20, 'p');
    // 71 bytes of credentials give 96 Base64 characters.
    ASSERT_EQ(request.size(), 5u + 20 + kHead.size() + 1 + 96 + 4);
    EXPECT_EQ(request.substr(0, 25), "GET /" + std::string(20, 'M'));
    EXPECT_EQ(request.substr(request.size() - 4), "\r\n\r\n");
}

TEST(NtripLogin, RequestTravelsInVlFramesThatJoinBackByteIdentical) {
    const cors_info c = Cors("RTCM32_GGB", "field-crew-7", "topsecret");
    const std::string request = BuildNtripRequest(c);
    std::vector<_STR_CMD> out(1);  // whatever is queued already stays
    out[0].length = 3;
    const unsigned frames = AppendNtripLogin(COM_STATUS_SERIAL, out, c);

    const size_t n = request.size();
    const size_t expectedFrames = n / 55 + (n % 55 ? 1 : 0);
    ASSERT_EQ(frames, expectedFrames);
    ASSERT_EQ(out.size(), 1 + expectedFrames);
    EXPECT_EQ(out[0].length, 3u);
    std::vector<size_t> sizes;
    const std::vector<_STR_CMD> sent(out.begin() + 1, out.end());
    EXPECT_EQ(JoinVl(sent, &sizes), request);
    for (size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_EQ(sizes[i], i + 1 < sizes.size() ? 55u : (n % 55 ? n % 55 : 55));
        EXPECT_EQ(sent[i].delay, 100u);
    }
}

TEST(NtripLogin, EmptyPasswordRequestEndsInBasicAndTheBlankLine) {
    std::vector<_STR_CMD> out;
    AppendNtripLogin(COM_STATUS_SERIAL, out, Cors("MP", "someone", ""));
    const std::string text = JoinVl(out);
    const std::string tail = "Authorization: Basic\r\n\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(NtripLogin, BluetoothLinkPacksInMode3) {
    std::vector<_STR_CMD> out;
    AppendNtripLogin(COM_STATUS_BLUETOOTH, out, Cors("MP", "a", "b"));
    ASSERT_FALSE(out.empty());
    for (const _STR_CMD& f : out) EXPECT_EQ(ReadDollar(f).head, 0x3B);
}

TEST(NtripLogin, AutoLoginPayloadAndItsLimit) {
    uint8_t p[kCorsAutoPayloadMax];
    // mount 00 mode 00 user 00 password 00; modes 1 'M', 2 'm', others '-'.
    const struct {
        unsigned mode;
        uint8_t byte;
    } modes[] = {{1, 'M'}, {2, 'm'}, {3, '-'}, {0, '-'}};
    for (const auto& m : modes) {
        ASSERT_EQ(BuildCorsAutoPayload(Cors("MP", "us", "pw"), m.mode, p), 11u);
        EXPECT_EQ(Bytes(p, p + 11), Bytes({'M', 'P', 0, m.byte, 0, 'u', 's', 0, 'p', 'w', 0}));
    }
    // 49 characters together still go; 50 do not.
    EXPECT_EQ(BuildCorsAutoPayload(Cors("MP", std::string(27, 'u'), std::string(20, 'p')), 1, p),
              54u);
    EXPECT_EQ(BuildCorsAutoPayload(Cors("MP", std::string(28, 'u'), std::string(20, 'p')), 1, p),
              0u);
}
