#include "platform/ComPorts.h"
#include "platform/Endian.h"
#include "platform/ErrorCodes.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/Time.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

using namespace platform;

TEST(Time, AddHoursCarriesIntoTheDate) {
    struct Case { UtcTime in; int hours; int y, mo, d, h; };
    const Case cases[] = {
        {{2026, 12, 9, 20, 5, 6}, 8, 2026, 12, 10, 4},   // hour 28 on the 9th is 04 on the 10th
        {{2026, 12, 31, 23, 0, 0}, 8, 2027, 1, 1, 7},    // across the year
        {{2024, 2, 28, 18, 0, 0}, 8, 2024, 2, 29, 2},    // leap day
        {{2023, 2, 28, 18, 0, 0}, 8, 2023, 3, 1, 2},     // no leap day
        {{2026, 4, 30, 15, 59, 59}, 8, 2026, 4, 30, 23}, // no carry
    };
    for (const Case& c : cases) {
        const UtcTime t = AddHours(c.in, c.hours);
        EXPECT_EQ(t.year, c.y);
        EXPECT_EQ(t.month, c.mo);
        EXPECT_EQ(t.day, c.d);
        EXPECT_EQ(t.hour, c.h);
        EXPECT_EQ(t.minute, c.in.minute);
        EXPECT_EQ(t.second, c.in.second);
    }
}

TEST(Time, ReplaceableClockAndDayOfWeek) {
    SetUtcClock([] { return UtcTime{2026, 12, 9, 20, 1, 2, 3, 3}; });
    const UtcTime local = LocalDisplayTime();
    EXPECT_EQ(local.day, 10);
    EXPECT_EQ(local.hour, 4);
    EXPECT_EQ(local.dayOfWeek, 4);  // 2026-12-10 is a Thursday
    SetUtcClock({});
    EXPECT_GE(UtcNow().year, 2024);
}

TEST(Time, TickCountIsMonotonic) {
    const uint32_t a = TickCount();
    SleepMs(5);
    EXPECT_GE(uint32_t(TickCount() - a), 5u);
}

TEST(Paths, RootPathsResolveInsideTheProgramFolder) {
    SetProgramFolder("/opt/brantor/");
    EXPECT_EQ(ProgramFolder(), "/opt/brantor");
    EXPECT_EQ(ResolveRootPath("\\socket.log"), "/opt/brantor/socket.log");
    EXPECT_EQ(ResolveRootPath("/configs/config.brt"), "/opt/brantor/configs/config.brt");
    EXPECT_EQ(ResolveRootPath("runtime.log"), "/opt/brantor/runtime.log");
    EXPECT_EQ(ResolveRootPath("./Resources/Images/brantor.png"), "/opt/brantor/Resources/Images/brantor.png");
    EXPECT_EQ(ResolveRootPath("/opt/brantor/log.txt"), "/opt/brantor/log.txt");
    SetProgramFolder("");
}

TEST(Numbers, LocaleFreeUnderAGermanLocale) {
    const char* old = std::setlocale(LC_ALL, "de_DE.UTF-8");
    double d = 0;
    EXPECT_TRUE(ParseDouble("456.05", d));
    EXPECT_DOUBLE_EQ(d, 456.05);
    EXPECT_FALSE(ParseDouble("456,05", d));
    EXPECT_EQ(FormatFixed(430.0, 16), "430.0000000000000000");
    EXPECT_EQ(FormatShortest(456.05), "456.05");
    EXPECT_DOUBLE_EQ(LeadingDouble("3150.7820,N"), 3150.782);
    std::setlocale(LC_ALL, old ? "C" : "C");
}

TEST(Numbers, IntegersWithOverflowChecks) {
    uint32_t u = 7;
    EXPECT_TRUE(ParseInt("4294967295", u));
    EXPECT_EQ(u, 4294967295u);
    EXPECT_FALSE(ParseInt("4294967296", u));
    EXPECT_EQ(u, 4294967295u) << "a refused parse leaves the value";
    int i = 0;
    EXPECT_TRUE(ParseInt(" -17 ", i));
    EXPECT_EQ(i, -17);
    EXPECT_FALSE(ParseInt("12a", i));
    EXPECT_FALSE(ParseInt("", i));
    EXPECT_EQ(FormatInt(std::numeric_limits<int>::min()), "-2147483648");
    EXPECT_EQ(LeadingInt("12,5"), 12);
}

// atof and atoi as the library had them: from_chars after blanks and one '+'.
namespace {
double ReferenceLeadingDouble(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    return v;
}
long long ReferenceLeadingInt(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    long long v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 10);
    if (ec == std::errc::result_out_of_range) return s.front() == '-' ? INT64_MIN : INT64_MAX;
    return v;
}
uint64_t Bits(double d) {
    uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}
}  // namespace

// The leading-number readers give from_chars' value to the last bit, on the
// receivers' plain decimals and on everything around their short path.
TEST(Numbers, LeadingNumbersAgreeWithFromChars) {
    const char* const texts[] = {
        "", "-", "+", ".", "-.", ".5", "-.5", "5.", "5.,", "0", "-0", "-0.000", "00012.50", " \t+7.25", "+-5",
        "1e5", "1.5e3", "1.5e", "1.5E-2x", "2.5e+", "inf", "nan", "0x1A", "12a", "3150.7820,N",
        "5541.1955", "03737.2872", "081411.000", "9007199254740992", "9007199254740993", "9007199254740993.0",
        "0.1", "0.3", "123456789012345678", "1234567890123456789", "12345678901234567890", "-9223372036854775808",
        "9223372036854775807", "9223372036854775808", "-99999999999999999999", "1.0000000000000000000001",
        "0.0000000000000000000001", "0.00000000000000000000001", "4503599627370495.5", "999999999999999999.9",
    };
    for (const char* t : texts) {
        EXPECT_EQ(Bits(LeadingDouble(t)), Bits(ReferenceLeadingDouble(t))) << t;
        EXPECT_EQ(LeadingInt(t), ReferenceLeadingInt(t)) << t;
    }
    // Random decimals of up to 24 digits with the point anywhere.
    uint64_t state = 0x9E3779B97F4A7C15ull;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (int n = 0; n < 20000; ++n) {
        std::string t = next() % 4 == 0 ? "-" : "";
        const int digits = 1 + int(next() % 24);
        const int point = int(next() % uint64_t(digits + 1));
        for (int k = 0; k < digits; ++k) {
            if (k == point && k > 0) t += '.';
            t += char('0' + next() % 10);
        }
        EXPECT_EQ(Bits(LeadingDouble(t)), Bits(ReferenceLeadingDouble(t))) << t;
        EXPECT_EQ(LeadingInt(t), ReferenceLeadingInt(t)) << t;
    }
}

TEST(Endian, ReadAndWriteByteByByte) {
    uint8_t b[8] = {};
    WriteLE32(b, 0x11223344u);
    EXPECT_EQ(b[0], 0x44);
    EXPECT_EQ(ReadLE32(b), 0x11223344u);
    WriteBE24(b, 0xCDE703);
    EXPECT_EQ(b[0], 0xCD);
    EXPECT_EQ(b[2], 0x03);
    EXPECT_EQ(ReadBE24(b), 0xCDE703u);
    WriteLEFloat(b, 1.5f);
    EXPECT_EQ(ReadLEFloat(b), 1.5f);
    WriteLEDouble(b, -2.25);
    EXPECT_EQ(ReadLEDouble(b), -2.25);
}

TEST(ErrorCodes, FailuresNeverMapToZero) {
    for (int e = 0; e < 200; ++e) {
        EXPECT_NE(SystemErrorFromErrno(e), 0u) << e;
        EXPECT_NE(SocketErrorFromErrno(e), 0u) << e;
        EXPECT_NE(BluetoothErrorFromErrno(e), 0u) << e;
    }
    EXPECT_EQ(SystemErrorFromErrno(ENOENT), 2u);
    EXPECT_EQ(SystemErrorFromErrno(EACCES), 5u);
    EXPECT_EQ(SocketErrorFromErrno(ECONNREFUSED), 10061u);
    EXPECT_EQ(SocketErrorFromErrno(ETIMEDOUT), 10060u);
    EXPECT_EQ(BluetoothErrorFromErrno(EADDRINUSE), 2404u);  // the binding's "Port is in use."
    EXPECT_EQ(BluetoothErrorFromErrno(EHOSTDOWN), 1167u);
    EXPECT_EQ(BluetoothErrorFromErrno(EACCES), 5u);        // the rest as the system table says
}

TEST(ComPorts, EnvironmentOrTtyS) {
    RegisterComPort(7, "");
    EXPECT_EQ(ComPortPath(7), "/dev/ttyS6");
    RegisterComPort(7, "/dev/pts/42");
    EXPECT_EQ(ComPortPath(7), "/dev/pts/42");
    RegisterComPort(7, "");
    EXPECT_EQ(ComPortPath(7), "/dev/ttyS6");
    EXPECT_EQ(ComPortPath(0), "");
}
