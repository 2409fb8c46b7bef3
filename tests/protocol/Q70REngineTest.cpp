// The bridge to the outside RTK engine of the maker's own board, against the
// fake engine library (tests/rtkengine) installed where the loader looks for
// the engine: the calls of creation, restart and stop, the records the board's
// logs feed it, the report sink's references, and a solution reported from
// the engine's own thread reaching the store on the parsing thread.
#include "NovAtelFixtures.h"
#include "OldFrameFixtures.h"
#include "platform/Endian.h"
#include "platform/Paths.h"
#include "platform/RtkEngine.h"
#include "protocol/Em_Gnss.h"
#include "protocol/boards/Em_MainBd_OrvelR.h"
#include "protocol/boards/Em_RepParser_Q70R.h"
#include "tests/rtkengine/FakeRtkEngine.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;
namespace R = RtkRecords;
using novatel_fixtures::Bytes;

namespace {

std::filesystem::path ProgramDir(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() / ("brantor-rtk-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    platform::SetProgramFolder(dir.string());
    return dir;
}

// Puts the fake engine where the board's loader finds it and returns its
// recorder, reset to answer `infoCount` at slot 20.
fake_rtk::Control* InstallEngine(const std::string& name, int32_t infoCount = 1) {
    ProgramDir(name);
    const std::filesystem::path target = platform::RtkEngineLibraryPath();
    EXPECT_EQ(target.filename(), "VirtRcv.so");
    EXPECT_EQ(target.parent_path().filename(), "FjTest");
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(BRANTOR_FAKE_RTK_ENGINE, target, std::filesystem::copy_options::overwrite_existing);
    void* lib = dlopen(target.c_str(), RTLD_NOW | RTLD_LOCAL);  // the loader's own handle, once it loads it
    if (!lib) return nullptr;
    auto control = reinterpret_cast<fake_rtk::ControlFn>(dlsym(lib, fake_rtk::kControlName));
    if (!control) return nullptr;
    control()->Reset(infoCount);
    return control();
}

std::vector<int> Slots(const std::vector<fake_rtk::Call>& calls) {
    std::vector<int> s;
    for (const auto& c : calls) s.push_back(c.slot);
    return s;
}

struct Calls {
    std::vector<uint32_t> masks;
};
void Collect(int, unsigned bits, const void* context) {
    static_cast<Calls*>(const_cast<void*>(context))->masks.push_back(bits);
}

// An engine solution report: RTK fixed (engine type 4) at 0.5 rad, 2.1 rad,
// 50 m, variances 0.04, 0.09 and 0.16, 345600.25 s of week, third error 0.123.
Bytes SolutionReport(uint32_t type = 4) {
    Bytes r(R::kReportSize, 0);
    uint8_t* s = r.data() + R::kReportSolutionAt;
    platform::WriteLEDouble(r.data() + R::kReportRmsAt, 0.123);
    platform::WriteLE32(s + R::kSolTypeAt, type);
    platform::WriteLEDouble(s + R::kSolVarLatAt, 0.04);
    platform::WriteLEDouble(s + R::kSolVarLonAt, 0.09);
    platform::WriteLEDouble(s + R::kSolVarHgtAt, 0.16);
    platform::WriteLEDouble(s + R::kSolSecondsAt, 345600.25);
    platform::WriteLEDouble(s + R::kSolLatitudeAt, 0.5);
    platform::WriteLEDouble(s + R::kSolLongitudeAt, 2.1);
    platform::WriteLEDouble(s + R::kSolHeightAt, 50.0);
    return r;
}

}  // namespace

// With no engine library the board goes on without an engine.
TEST(Q70REngine, NoEngineLibraryCreatesNothing) {
    ProgramDir("none");
    Em_MainBd_OrvelR board;
    CmdList out;
    board.Cmd_StartRover(out);
    EXPECT_EQ(out.size(), 8u);  // the builder's lines all the same
    EXPECT_EQ(board.Parser()->Engine(), nullptr);
    EXPECT_EQ(board.Parser()->StartRtkEngine(), 0u);
    void* engine = reinterpret_cast<void*>(1);
    EXPECT_EQ(platform::CoCreateInstance(kCLSID_VirtRcv, nullptr, 1, kIID_VirtRcv, &engine),
              platform::kREGDB_E_CLASSNOTREG);
    EXPECT_EQ(engine, nullptr);
}

TEST(Q70REngine, CreationSequenceRestartAndStop) {
    fake_rtk::Control* fake = InstallEngine("create");
    ASSERT_NE(fake, nullptr);
    {
        Em_MainBd_OrvelR board;
        CmdList out;
        board.Cmd_StartRover(out);
        EXPECT_EQ(out.size(), 8u);
        ASSERT_NE(board.Parser()->Engine(), nullptr);
        EXPECT_EQ(fake->EnginesAlive(), 1);

        const auto calls = fake->Calls();
        ASSERT_EQ(Slots(calls), (std::vector<int>{20, 7, 5, 5, 6, 12}));
        EXPECT_EQ(calls[0].a, 8);  // an 8-byte buffer
        EXPECT_EQ(calls[0].b, 1);
        for (int k : {2, 3}) {
            const Bytes& st = calls[size_t(k)].bytes;
            ASSERT_EQ(st.size(), R::kStationSize);
            EXPECT_EQ(platform::ReadLE32(st.data() + 4), uint32_t(k - 2));  // 0 base, 1 rover
            const std::string name(reinterpret_cast<const char*>(st.data() + 8), k == 2 ? 4 : 5);
            EXPECT_EQ(name, k == 2 ? "Base" : "Rover");
            EXPECT_EQ(st[8 + name.size()], 0);
            for (unsigned at = 48; at <= 68; at += 4) EXPECT_EQ(platform::ReadLE32(st.data() + at), 0u) << at;
        }
        const Bytes& opt = calls[4].bytes;
        ASSERT_EQ(opt.size(), R::kOptionsSize);
        for (const auto& [at, v] : {std::pair{4u, 5u}, {8u, 1u}, {16u, 1000u}, {36u, 10u}, {44u, 1u}, {52u, 0u},
                                    {64u, 0u}, {68u, 1u}})
            EXPECT_EQ(platform::ReadLE32(opt.data() + at), v) << at;

        // The sink as the engine saw it after its own AddRef: the creator's
        // reference, the queried one and the engine's.
        EXPECT_EQ(fake->SinkRefsSeen(), 3u);

        // A second rover start only restarts the engine.
        fake->Reset(1);
        out.clear();
        board.Cmd_StartRover(out);
        EXPECT_EQ(out.size(), 8u);
        const auto again = fake->Calls();
        ASSERT_EQ(Slots(again), (std::vector<int>{11}));
        EXPECT_EQ(again[0].a, 0);
        EXPECT_EQ(again[0].b, 3);
        fake->Reset(1);
    }
    // The board's end stops and releases the engine; the engine's release of
    // the sink and the creator's free it (ASan reports a leak otherwise).
    const auto end = fake->Calls();
    ASSERT_EQ(Slots(end), (std::vector<int>{8, 2}));
    EXPECT_EQ(end[0].a, 0);
    EXPECT_EQ(fake->EnginesAlive(), 0);
}

// An engine whose count is below 1 is stopped and released at once.
TEST(Q70REngine, UnusableEngineIsReleased) {
    fake_rtk::Control* fake = InstallEngine("unusable", 0);
    ASSERT_NE(fake, nullptr);
    Em_RepParser_Q70R parser;
    EXPECT_EQ(parser.StartRtkEngine(), 0u);
    EXPECT_EQ(parser.Engine(), nullptr);
    const auto calls = fake->Calls();
    ASSERT_EQ(Slots(calls), (std::vector<int>{20, 8, 2}));
    EXPECT_EQ(calls[1].a, 0);
    EXPECT_EQ(fake->EnginesAlive(), 0);

    // A later start with a usable engine creates one.
    fake->Reset(2);
    EXPECT_EQ(parser.StartRtkEngine(), 1u);
    EXPECT_NE(parser.Engine(), nullptr);
    parser.StopRtkEngine();
    EXPECT_EQ(parser.Engine(), nullptr);
    EXPECT_EQ(fake->EnginesAlive(), 0);
}

// The sink answers only its own interfaces and counts its references.
TEST(Q70REngine, SinkQueryAndReferences) {
    CRtkReport* sink = new CRtkReport;
    EXPECT_EQ(sink->AddRef(), 1u);
    void* out = reinterpret_cast<void*>(1);
    const platform::Guid other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(sink->QueryInterface(other, &out), platform::kE_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(sink->RefCount(), 1u);
    EXPECT_EQ(sink->QueryInterface(kIID_RtkReport, &out), platform::kS_OK);
    EXPECT_EQ(out, static_cast<platform::IReport*>(sink));
    EXPECT_EQ(sink->QueryInterface(platform::kIID_IUnknown, &out), platform::kS_OK);
    EXPECT_EQ(sink->RefCount(), 3u);
    EXPECT_EQ(sink->QueryInterface(kIID_RtkReport, nullptr), platform::kE_POINTER);
    // Without a context a report goes nowhere; attached, it reaches the
    // parser's mailbox; detached again (the parser stopping its engine), it
    // goes nowhere, however long the engine keeps the sink.
    const Bytes report = SolutionReport();
    Em_RepParser_Q70R parser;
    EXPECT_EQ(sink->ReportSolution(nullptr, report.data()), platform::kS_OK);
    EXPECT_FALSE(parser.ApplyPendingSolution());
    sink->Attach(&parser, &Em_RepParser_Q70R::OnRtkReport);
    EXPECT_EQ(sink->ReportSolution(nullptr, report.data()), platform::kS_OK);
    EXPECT_TRUE(parser.ApplyPendingSolution());
    sink->Detach();
    EXPECT_EQ(sink->ReportSolution(nullptr, report.data()), platform::kS_OK);
    EXPECT_FALSE(parser.ApplyPendingSolution());
    EXPECT_EQ(sink->Release(), 2u);
    EXPECT_EQ(sink->Release(), 1u);
    EXPECT_EQ(sink->Release(), 0u);  // freed here
}

// The board's logs feed the engine: 41 its ephemeris slot, 912 its
// observation slot, 913 its log-913 slot, each with the parser's record.
TEST(Q70REngine, LogsFeedTheEngine) {
    fake_rtk::Control* fake = InstallEngine("feed");
    ASSERT_NE(fake, nullptr);
    Em_MainBd_OrvelR board;
    ASSERT_EQ(board.Parser()->StartRtkEngine(), 1u);
    fake->Reset(1);

    using novatel_fixtures::Body;
    using novatel_fixtures::Log;
    const auto feed = [&](const Bytes& f) {
        board.AppendReceived(f.data(), unsigned(f.size()));
        return board.Parse_NextFrame();
    };
    Body eph;
    eph.U32(9).U32(0).U32(0).Zeros(90);
    ASSERT_EQ(feed(Log(41, eph.b)), 1u);
    Body obs;
    obs.U8(1).Zeros(15).U8(4).U8(30).U16(100).U8(1).U8(40).I32(5000).U16(16).U8(0).U8(0).U8(0).U8(0).U16(0).U16(0)
        .U8(0).U8(0);
    ASSERT_EQ(feed(Log(912, obs.b)), 1u);
    Body b913;
    b913.U32(77).Zeros(24);
    ASSERT_EQ(feed(Log(913, b913.b)), 1u);
    Body ignoredSat;  // a satellite number the engine does not take: no call
    ignoredSat.U32(0).Zeros(98);
    ASSERT_EQ(feed(Log(41, ignoredSat.b)), 1u);

    const auto calls = fake->Calls();
    ASSERT_EQ(Slots(calls), (std::vector<int>{9, 3, 4}));
    const Em_RepParser_Q70R& p = *board.Parser();
    EXPECT_EQ(calls[0].bytes, Bytes(p.ephRecord, p.ephRecord + R::kEphSize));
    EXPECT_EQ(platform::ReadLE32(calls[0].bytes.data() + R::kEphSatAt), 9u);
    EXPECT_EQ(calls[1].bytes, Bytes(p.obsRecord, p.obsRecord + R::kObsSize));
    EXPECT_EQ(platform::ReadLE32(calls[1].bytes.data() + R::kObsCountAt), 1u);
    EXPECT_EQ(platform::ReadLE32(calls[1].bytes.data() + R::kObsFlagAt), 1u);
    EXPECT_EQ(platform::ReadLE32(calls[2].bytes.data() + R::kLog913WordAt), 77u);
    for (const auto& c : calls) EXPECT_EQ(c.a, 1) << c.slot;  // a work word each time
}

// The solution table: engine type to position type and status.
TEST(Q70REngine, SolutionTypes) {
    const struct {
        uint32_t type;
        uint32_t positionType;
        int32_t status;
    } rows[] = {{0, 42, 9}, {1, 16, 4}, {2, 16, 9}, {3, 4, 6}, {4, 50, 11}, {5, 50, 9}, {7, 0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        Em_RepParser_Q70R p;
        platform::WriteLE32(p.positionBody + 4, 42);
        platform::WriteLEFloat(p.positionBody + 32, 5.5f);  // undulation
        p.position.status = 9;
        const Bytes report = SolutionReport(row.type);
        Em_RepParser_Q70R::OnRtkReport(&p, report.data());
        EXPECT_EQ(p.position.latitude, 0.0);  // not before the parsing thread applies it
        ASSERT_TRUE(p.ApplyPendingSolution());
        EXPECT_FALSE(p.ApplyPendingSolution());
        EXPECT_EQ(p.ChangedMask, 0xB0000000u);
        EXPECT_EQ(platform::ReadLE32(p.positionBody + 4), row.positionType);
        EXPECT_EQ(p.position.status, row.status);
        EXPECT_DOUBLE_EQ(p.position.latitude, 0.5);  // radians, as every parser keeps them
        EXPECT_DOUBLE_EQ(p.position.longitude, 2.1);
        EXPECT_DOUBLE_EQ(p.position.height, 50.0 - 5.5);
        EXPECT_FLOAT_EQ(platform::ReadLEFloat(p.positionBody + 40), 0.2f);
        EXPECT_FLOAT_EQ(platform::ReadLEFloat(p.positionBody + 44), 0.3f);
        EXPECT_FLOAT_EQ(platform::ReadLEFloat(p.positionBody + 48), 0.4f);
        EXPECT_EQ(platform::ReadLE32(p.lastHeader + 16), 345600250u);
        EXPECT_DOUBLE_EQ(p.errors.rms, 0.123);
    }
    // A variance a little below zero (the engine's rounding) is a deviation
    // of 0, not a NaN.
    Em_RepParser_Q70R p;
    Bytes report = SolutionReport();
    platform::WriteLEDouble(report.data() + R::kReportSolutionAt + R::kSolVarLatAt, -1e-12);
    Em_RepParser_Q70R::OnRtkReport(&p, report.data());
    ASSERT_TRUE(p.ApplyPendingSolution());
    EXPECT_EQ(platform::ReadLEFloat(p.positionBody + 40), 0.0f);
    EXPECT_FLOAT_EQ(platform::ReadLEFloat(p.positionBody + 44), 0.3f);
}

// A maker's receiver with its own board: rover start creates the engine, the
// engine reports a solution from its own thread while the receiver's frames
// are being parsed, and the solution reaches Get_Gnss_Pos with its change
// bits, announced once, on the parsing thread.
TEST(Q70REngine, SolutionFromTheEngineThreadReachesTheStore) {
    fake_rtk::Control* fake = InstallEngine("thread");
    ASSERT_NE(fake, nullptr);
    Em_Gnss g(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_OLD);
    g.Set_Com_Status(COM_STATUS_SERIAL);
    Calls calls;
    const _CALLBACKS_RECEIVER cbs = {&Collect, nullptr};
    g.Reg_Callbacks(&cbs, &calls);
    std::vector<_STR_CMD> out;
    g.Get_Gnss_StartRover(out);
    ASSERT_EQ(fake->EnginesAlive(), 1);

    // Dilutions from the board, in the receiver's "RG" frames.
    const Bytes dop = old_fixtures::Dollar(
        "RG", novatel_fixtures::Log(174, novatel_fixtures::PsrDop(1.0f, 2.0f, 1.0f, 1.0f, 0.1f)));
    ASSERT_TRUE(fake->ReportFromThread(SolutionReport()));
    int frames = 0;
    const auto seen = [&] {
        for (uint32_t m : calls.masks)
            if (m & Em_RepParser_Q70R::kSolutionBits & ~ChangeBits::Dops) return true;
        return false;
    };
    while (!seen() && frames < 2000) {
        g.RcvData(dop.data(), unsigned(dop.size()));
        g.ParseData();
        ++frames;
    }
    fake->WaitReports();
    g.RcvData(dop.data(), unsigned(dop.size()));
    g.ParseData();
    ++frames;

    ASSERT_EQ(calls.masks.size(), size_t(frames));
    int withSolution = 0;
    for (uint32_t m : calls.masks) {
        if (m == 0xB4000000u)
            ++withSolution;
        else
            EXPECT_EQ(m, 0x84000000u);
    }
    EXPECT_EQ(withSolution, 1);
    POS_INFO pos;
    g.Get_Gnss_Pos(&pos);
    EXPECT_DOUBLE_EQ(pos.latitude, 0.5);
    EXPECT_DOUBLE_EQ(pos.longitude, 2.1);
    EXPECT_DOUBLE_EQ(pos.height, 50.0);
    EXPECT_EQ(pos.status, 11);
}
