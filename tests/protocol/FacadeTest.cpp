// The protocol object: format and board by manufacturer and board type, the
// gates, the data path with its callbacks, the link kind, the base and rover
// settings and the raw record file.
#include "protocol/Em_Gnss.h"
#include "protocol/newproto/Em_Format_OrvelNew.h"

#include "FrameFixtures.h"
#include "RecordingBoard.h"
#include "protocol/Em_Format_Common.h"
#include "platform/Time.h"
#include "protocol/FormatFactory.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace Fjarnis2011::FJParse;
using namespace frame_fixtures;
using board_test::Recorder;
using board_test::RecordingBoard;
using board_test::RecordingBoards;

namespace {

// Stands in for one of the maker's formats: maker code 2, and any board type
// is taken with a recording board.
class MakerFormat : public Em_IFormat {
public:
    MakerFormat(RingBuffer& ring, bool newProtocol, Recorder* r) : Em_IFormat(ring), newProtocol(newProtocol), r_(r) {
        makerCode = GNSS_MNFCTR_ORVEL;
    }
    bool ParseNextFrame() override { return false; }
    bool Reset_GnsMd(MAINBD_OEM_TYPE t) override {
        ReplaceMainBoard(std::make_unique<RecordingBoard>(t, r_));
        return true;
    }
    void Send_DiffDataToGnss(CmdList&, const uint8_t*, unsigned) override {}
    const bool newProtocol;

private:
    Recorder* r_;
};

// Formats as the library makes them, but with recording boards, and a
// stand-in for the maker's formats.
Em_Gnss::FormatFactory Formats(Recorder* r) {
    return [r](GNSS_MANUFACTURER m, bool newProtocol, RingBuffer& ring) -> std::unique_ptr<Em_IFormat> {
        if (m == GNSS_MNFCTR_OTHER) return std::make_unique<Em_Format_Common>(ring, RecordingBoards(r));
        return std::make_unique<MakerFormat>(ring, newProtocol, r);
    };
}

struct Gates {
    bool maker, newProtocol, oldProtocol;
    bool operator==(const Gates&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Gates& g) {
    return os << "{maker " << g.maker << ", new " << g.newProtocol << ", old " << g.oldProtocol << "}";
}
Gates GatesOf(const Em_Gnss& g) {
    return {g.IsOrvelManufacturer(), g.IsOrvelNewProtocolReceiver(), g.IsOrvelOldProtocolReceiver()};
}

enum class Kind { None, Common, MakerOld, MakerNew };
Kind KindOf(const Em_Gnss& g) {
    Em_IFormat* f = g.Format();
    if (!f) return Kind::None;
    if (dynamic_cast<Em_Format_Common*>(f)) return Kind::Common;
    if (dynamic_cast<Em_Format_OrvelNew*>(f)) return Kind::MakerNew;
    auto* m = dynamic_cast<MakerFormat*>(f);
    return m && m->newProtocol ? Kind::MakerNew : Kind::MakerOld;
}

// Collects the data callbacks of one protocol object.
struct Calls {
    struct Call {
        int messageClass;
        uint32_t bits;
        const void* context;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> data;
    std::vector<std::pair<bool, const void*>> oem;
};
Calls* g_calls = nullptr;
void OnData(int messageClass, unsigned bits, const void* context) {
    g_calls->data.push_back({messageClass, bits, context});
}
void OnOem(bool changed, const void* context) { g_calls->oem.push_back({changed, context}); }
const _CALLBACKS_RECEIVER kCallbacks = {&OnData, &OnOem};

struct CallsScope {
    CallsScope() { g_calls = &calls; }
    ~CallsScope() { g_calls = nullptr; }
    Calls calls;
};

void Feed(Em_Gnss& g, const Bytes& b) { g.RcvData(b.data(), unsigned(b.size())); }

}  // namespace

// The format and board chosen for (manufacturer, board type), with the
// formats of this library.
TEST(Facade, ChoiceTableOfTheLibrary) {
    const struct {
        int m, t;
        Kind kind;
        int maker;
        int board;
    } rows[] = {
        {1, 5, Kind::Common, 1, 5},
        {1, 6, Kind::Common, 1, 6},
        {1, 2, Kind::Common, 1, 2},
        {1, 1, Kind::Common, 1, 1},
        {1, 4, Kind::Common, 1, 4},
        // Types the format does not serve: no board.
        {1, 0, Kind::Common, 1, 0},
        {1, 3, Kind::Common, 1, 0},
        {1, 7, Kind::Common, 1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "manufacturer " << row.m << ", board " << row.t);
        Em_Gnss g{GNSS_MANUFACTURER(row.m), MAINBD_OEM_TYPE(row.t)};
        EXPECT_EQ(KindOf(g), row.kind);
        EXPECT_EQ(g.Get_Mnfctr(), row.maker);
        EXPECT_EQ(g.Get_GnsMd(), row.board);
        EXPECT_EQ(g.GetMainBdType(), row.board);
        EXPECT_EQ(GatesOf(g), (Gates{false, false, false}));
    }
    // The maker's receiver with board type 0: the new-protocol format with
    // its board. (The old-protocol format has its own tests.)
    Em_Gnss newProtocol{GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW};
    EXPECT_EQ(KindOf(newProtocol), Kind::MakerNew);
    EXPECT_EQ(newProtocol.Get_Mnfctr(), 2);
    EXPECT_EQ(newProtocol.Get_GnsMd(), 0);
    EXPECT_EQ(GatesOf(newProtocol), (Gates{true, true, false}));
    // The default is the maker's receiver with a NovAtel board.
    Em_Gnss byDefault;
    EXPECT_EQ(KindOf(byDefault), Kind::MakerOld);
}

// A protocol object with no format (its format could not be made) is inert:
// every gate closed, bytes dropped, nothing parsed, nothing made.
TEST(Facade, WithoutAFormatNothingHappens) {
    CallsScope scope;
    Em_Gnss g(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW,
              [](GNSS_MANUFACTURER m, bool, RingBuffer& ring) -> std::unique_ptr<Em_IFormat> {
                  // Only other makers' receivers get a format.
                  if (m == GNSS_MNFCTR_OTHER) return std::make_unique<Em_Format_Common>(ring);
                  return nullptr;
              });
    g.Reg_Callbacks(&kCallbacks, nullptr);
    EXPECT_FALSE(g.Reset_GnsMd(MAINBD_UNICORE));
    Feed(g, kGga);
    g.ParseData();
    EXPECT_TRUE(scope.calls.data.empty());
    EXPECT_EQ(g.Get_Com_Status(), 0);
    EXPECT_EQ(g.Get_Gnss_BsCfg(), nullptr);
    CmdList out;
    g.Send_DiffDataToGnss(out, kGga.data(), unsigned(kGga.size()));
    EXPECT_TRUE(out.empty());
    Msg_Type kind = MSG_TYPE_NONE;
    uint32_t bits = 7;
    g.Get_RevMsg(&kind, &bits);
    EXPECT_EQ(bits, 7u);
    // The link kind set meanwhile survives the switch to a format.
    g.Set_Com_Status(COM_STATUS_BLUETOOTH);
    g.Reset_Mnfctr(GNSS_MNFCTR_OTHER);
    EXPECT_EQ(g.Get_Mnfctr(), 1);
    EXPECT_EQ(g.Get_Com_Status(), COM_STATUS_BLUETOOTH);
}

// The choice and the gates, with a stand-in for the maker's formats.
TEST(Facade, ChoiceTableAndGates) {
    const struct {
        int m, t;
        Kind kind;
        int maker;
        int board;
        Gates gates;
    } rows[] = {
        {1, 5, Kind::Common, 1, 5, {false, false, false}},
        {1, 2, Kind::Common, 1, 2, {false, false, false}},
        {1, 3, Kind::Common, 1, 0, {false, false, false}},
        {2, 0, Kind::MakerNew, 2, 0, {true, true, false}},
        {2, 2, Kind::MakerOld, 2, 2, {true, false, true}},
        {2, 3, Kind::MakerOld, 2, 3, {true, false, true}},
        // Any other manufacturer is the maker's receiver with the old protocol.
        {5, 2, Kind::MakerOld, 2, 2, {true, false, true}},
        {5, 0, Kind::MakerOld, 2, 0, {true, true, false}},
        {0, 4, Kind::MakerOld, 2, 4, {true, false, true}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "manufacturer " << row.m << ", board " << row.t);
        Recorder rec;
        Em_Gnss g(GNSS_MANUFACTURER(row.m), MAINBD_OEM_TYPE(row.t), Formats(&rec));
        EXPECT_EQ(KindOf(g), row.kind);
        EXPECT_EQ(g.Get_Mnfctr(), row.maker);
        EXPECT_EQ(g.Get_GnsMd(), row.board);
        EXPECT_EQ(GatesOf(g), row.gates);
    }
}

TEST(Facade, ManufacturerChangeAloneLeavesNoBoard) {
    Recorder rec;
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE, Formats(&rec));
    g.Set_Com_Status(COM_STATUS_BLUETOOTH);
    Feed(g, kGga);

    g.Reset_Mnfctr(GNSS_MNFCTR_ORVEL);
    EXPECT_EQ(KindOf(g), Kind::MakerOld);
    EXPECT_EQ(g.Get_GnsMd(), 0);
    EXPECT_EQ(GatesOf(g), (Gates{true, true, false}));  // no board yet: new protocol
    EXPECT_EQ(g.Get_Com_Status(), COM_STATUS_BLUETOOTH);
    EXPECT_EQ(g.Format()->Ring().Unconsumed(), 0);     // a new format starts empty
    EXPECT_TRUE(g.Reset_GnsMd(MAINBD_ORVEL_OLD));
    EXPECT_EQ(GatesOf(g), (Gates{true, false, true}));

    g.Reset_Mnfctr(GNSS_MANUFACTURER(9));
    EXPECT_EQ(KindOf(g), Kind::MakerOld);

    g.Reset_Mnfctr(GNSS_MNFCTR_OTHER);
    EXPECT_EQ(KindOf(g), Kind::Common);
    EXPECT_EQ(g.Get_Mnfctr(), 1);
    EXPECT_EQ(g.Get_GnsMd(), 0);
    EXPECT_EQ(GatesOf(g), (Gates{false, false, false}));
    EXPECT_EQ(g.Get_Com_Status(), COM_STATUS_BLUETOOTH);
    EXPECT_TRUE(g.Reset_GnsMd(MAINBD_NMEA_ONLY));
    EXPECT_EQ(g.Get_GnsMd(), 5);
}

// One callback per frame that changed data, with the class, the bits and the
// registered context; a frame that changed nothing and garbage give none.
TEST(Facade, ParseDataCallsBackOncePerChangingFrame) {
    CallsScope scope;
    Recorder rec;
    rec.maskFor = [](const Bytes& f) { return f == kGlGsv ? 0u : board_test::FrameDigest(f); };
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE, Formats(&rec));
    int context = 0;
    g.Reg_Callbacks(&kCallbacks, &context);

    g.ParseData();  // empty: returns at once
    Feed(g, Text("garbage!"));
    g.ParseData();
    EXPECT_TRUE(scope.calls.data.empty());

    Feed(g, Cat(Cat(Cat(kGga, Text("xx")), kGlGsv), kGnGga));
    g.ParseData();
    const std::vector<Calls::Call> expected = {{1, board_test::FrameDigest(kGga), &context},
                                               {1, board_test::FrameDigest(kGnGga), &context}};
    EXPECT_EQ(scope.calls.data, expected);
    EXPECT_EQ(rec.frames.size(), 3u);

    Msg_Type kind = MSG_TYPE_NONE;
    uint32_t bits = 0;
    g.Get_RevMsg(&kind, &bits);
    EXPECT_EQ(kind, MSG_TYPE_GNSS);

    // A null context keeps the one registered before.
    g.Reg_Callbacks(&kCallbacks, nullptr);
    Feed(g, kGga);
    g.ParseData();
    ASSERT_EQ(scope.calls.data.size(), 3u);
    EXPECT_EQ(scope.calls.data.back().context, &context);

    g.IsOemChanged(true);
    EXPECT_EQ(scope.calls.oem, (std::vector<std::pair<bool, const void*>>{{true, &context}}));
}

TEST(Facade, NoCallbackTableMeansNoCallbacks) {
    CallsScope scope;
    Recorder rec;
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE, Formats(&rec));
    g.Reg_Callbacks(&kCallbacks, nullptr);
    g.Reg_Callbacks(nullptr, nullptr);
    Feed(g, kGga);
    g.ParseData();
    g.IsOemChanged(true);
    EXPECT_EQ(rec.frames.size(), 1u);  // parsed all the same
    EXPECT_TRUE(scope.calls.data.empty());
    EXPECT_TRUE(scope.calls.oem.empty());
    // A table with one empty entry keeps only the other.
    const _CALLBACKS_RECEIVER onlyOem = {nullptr, &OnOem};
    g.Reg_Callbacks(&onlyOem, nullptr);
    Feed(g, kGga);
    g.ParseData();
    g.IsOemChanged(false);
    EXPECT_TRUE(scope.calls.data.empty());
    EXPECT_EQ(scope.calls.oem.size(), 1u);
}

TEST(Facade, DataClearDropsEveryBufferedByte) {
    CallsScope scope;
    Recorder rec;
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE, Formats(&rec));
    g.Reg_Callbacks(&kCallbacks, nullptr);
    Feed(g, Cat(kGga, Bytes(kGnGga.begin(), kGnGga.begin() + 5)));
    g.Data_Clear();
    Feed(g, Bytes(kGnGga.begin() + 5, kGnGga.end()));
    Feed(g, kBdGsv);
    g.ParseData();
    EXPECT_EQ(rec.frames, std::vector<Bytes>{kBdGsv});
}

// A callback may switch the manufacturer (the device object does it from the
// writing thread, but nothing stops a callback): parsing goes on with the new
// format and never touches the old one.
TEST(Facade, ACallbackMaySwitchTheFormat) {
    Recorder rec;
    static Em_Gnss* target = nullptr;
    static int calls = 0;
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE, Formats(&rec));
    target = &g;
    calls = 0;
    const _CALLBACKS_RECEIVER cbs = {[](int, unsigned, const void*) {
                                         if (++calls > 1) return;
                                         target->Reset_Mnfctr(GNSS_MNFCTR_OTHER);
                                         target->Reset_GnsMd(MAINBD_UNICORE);
                                         target->RcvData(kBdGsv.data(), unsigned(kBdGsv.size()));
                                     },
                                     nullptr};
    g.Reg_Callbacks(&cbs, nullptr);
    Feed(g, Cat(kGga, kGnGga));
    g.ParseData();
    // kGnGga went with the old buffer; the new format parsed what came after.
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(rec.frames, (std::vector<Bytes>{kGga, kBdGsv}));
    EXPECT_EQ(rec.boardsMade, 2);
    target = nullptr;
}

TEST(Facade, BaseAndRoverSettingsLiveInTheBoardsBuilder) {
    Recorder rec;
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_ORVEL_OLD, Formats(&rec));  // no board
    Base_Config base{};
    base.stationId = 7;
    base.outputPort = 0x01020304;
    Rover_Config rover{};
    rover.elevMask = 12;
    EXPECT_EQ(g.Get_Gnss_BsCfg(), nullptr);
    EXPECT_EQ(g.Get_Gnss_RvCfg(), nullptr);
    g.Set_Gnss_BsCfg(base);  // no board: only the format's copy of bytes 18-21
    g.Set_Gnss_RvCfg(rover);
    EXPECT_EQ(g.Format()->baseConfigWord, 0x01020304u);

    ASSERT_TRUE(g.Reset_GnsMd(MAINBD_UNICORE));
    const Base_Config* held = g.Get_Gnss_BsCfg();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held, &g.Format()->MainBoard()->CmdPaker()->baseConfig);
    EXPECT_EQ(held->stationId, 1u);  // the builder's default
    EXPECT_EQ(std::string(held->stationName), "base");
    base.outputPort = 3;
    g.Set_Gnss_BsCfg(base);
    EXPECT_EQ(std::memcmp(g.Get_Gnss_BsCfg(), &base, sizeof base), 0);
    EXPECT_EQ(g.Format()->baseConfigWord, 3u);
    g.Set_Gnss_RvCfg(rover);
    EXPECT_EQ(g.Get_Gnss_RvCfg()->elevMask, 12);
}

TEST(Facade, ComStatusIsKeptInTheFormat) {
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE);
    EXPECT_EQ(g.Get_Com_Status(), COM_STATUS_SERIAL);
    g.Set_Com_Status(COM_STATUS_BLUETOOTH);
    EXPECT_EQ(g.Format()->comStatus, COM_STATUS_BLUETOOTH);
    EXPECT_EQ(g.Get_Com_Status(), COM_STATUS_BLUETOOTH);
}

TEST(Facade, CorrectionBytesGoThroughTheFormat) {
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE);
    CmdList out;
    const Bytes data(600, 0x5A);
    g.Send_DiffDataToGnss(out, data.data(), unsigned(data.size()));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].length + out[1].length, 600u);
}

// The real boards behind the format: a Unicore board decodes the sentences
// of another maker's receiver and the callbacks carry its change bits.
TEST(Facade, RealUnicoreBoardAnnouncesItsDecodes) {
    CallsScope scope;
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE);
    g.Reg_Callbacks(&kCallbacks, nullptr);
    g.Format()->Set_GNSS_ParseNmea(true);
    Feed(g, Text("$GNGGA,132819.60,4134.49795459,N,09345.03431408,W,2,10,0.9,278.161,M,-31.442,M,6.6,0133*6A\r\n"));
    g.ParseData();
    ASSERT_EQ(scope.calls.data.size(), 1u);
    EXPECT_EQ(scope.calls.data[0].messageClass, 1);
    EXPECT_NE(scope.calls.data[0].bits & 0x1000u, 0u);  // GGA stored
    EXPECT_NEAR(g.Format()->Pos_Height(), 278.161 - 31.442, 1e-9);
}

// ---- Raw record file ----

namespace {

std::filesystem::path TempDir(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() / ("brantor-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

Bytes ReadFile(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Runs in another current folder for a while (the default name has no path).
struct InFolder {
    explicit InFolder(const std::filesystem::path& p) : old(std::filesystem::current_path()) {
        std::filesystem::current_path(p);
    }
    ~InFolder() { std::filesystem::current_path(old); }
    std::filesystem::path old;
};

struct FixedClock {
    explicit FixedClock(platform::UtcTime t) {
        platform::SetUtcClock([t] { return t; });
    }
    ~FixedClock() { platform::SetUtcClock({}); }
};

}  // namespace

TEST(FacadeRecordFile, HoldsTheExactReceivedStream) {
    const auto dir = TempDir("record");
    const auto path = dir / "capture.bin";
    {
        Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE);
        Feed(g, Text("before"));  // not recording yet
        g.SetRcrdData(true, path.c_str());
        Feed(g, Cat(kGga, kRtcm1005));
        Feed(g, Bytes(30000, 0xA5));  // more than the buffer takes: recorded all the same
        g.ParseData();
    }  // the recording object closes the file
    EXPECT_EQ(ReadFile(path), Cat(Cat(kGga, kRtcm1005), Bytes(30000, 0xA5)));
    std::filesystem::remove_all(dir);
}

TEST(FacadeRecordFile, OneFilePerProcess) {
    const auto dir = TempDir("one");
    Em_Gnss a(GNSS_MNFCTR_OTHER, MAINBD_UNICORE);
    Em_Gnss b(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY);
    a.SetRcrdData(true, (dir / "first.bin").c_str());
    b.SetRcrdData(true, (dir / "second.bin").c_str());  // keeps the first file
    EXPECT_FALSE(std::filesystem::exists(dir / "second.bin"));
    Feed(a, Text("A"));
    Feed(b, Text("B"));
    b.SetRcrdData(false, nullptr);  // closes the process's file
    Feed(a, Text("C"));
    EXPECT_EQ(ReadFile(dir / "first.bin"), Text("AB"));
    a.SetRcrdData(false, nullptr);
    std::filesystem::remove_all(dir);
}

// The default name uses the local time, UTC + 8 h, with the date carried;
// the hour is padded to two places with a space.
TEST(FacadeRecordFile, DefaultNameIsTheLocalTime) {
    const struct {
        platform::UtcTime utc;
        const char* name;
    } rows[] = {
        {{2026, 12, 9, 17, 5, 9, 0, 3}, "20261210 159.bin"},
        {{2026, 12, 9, 1, 5, 9, 0, 3}, "2026129 959.bin"},
        {{2026, 12, 31, 20, 30, 0, 0, 4}, "202711 4300.bin"},
        {{2026, 3, 4, 5, 6, 7, 0, 3}, "2026341367.bin"},
    };
    const auto dir = TempDir("name");
    InFolder in(dir);
    for (const auto& row : rows) {
        FixedClock clock(row.utc);
        Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE);
        g.SetRcrdData(true, nullptr);
        Feed(g, Text("x"));
        g.SetRcrdData(false, nullptr);
        EXPECT_EQ(ReadFile(dir / row.name), Text("x")) << row.name;
    }
    std::filesystem::remove_all(dir);
}

TEST(FacadeRecordFile, ALongNameIsCutAt255Characters) {
    const auto dir = TempDir("long");
    InFolder in(dir);
    const std::string name(300, 'n');
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE);
    g.SetRcrdData(true, name.c_str());
    Feed(g, Text("y"));
    g.SetRcrdData(false, nullptr);
    EXPECT_EQ(ReadFile(dir / std::string(255, 'n')), Text("y"));
    std::filesystem::remove_all(dir);
}

TEST(FacadeRecordFile, AFailedOpenRecordsNothing) {
    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE);
    g.SetRcrdData(true, "/nonexistent-folder/for/sure/rec.bin");
    Feed(g, Text("z"));  // nothing to write to
    g.ParseData();
    g.SetRcrdData(false, nullptr);
}
