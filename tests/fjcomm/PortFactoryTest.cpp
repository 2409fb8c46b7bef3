#include "FJCommTestSupport.h"

#include "fjcomm/PortFactory.h"
#include "fjcomm/SerialPort.h"
#include "platform/ComPorts.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace Fjarnis2011::FJComm;
using fjcomm_test::ScratchFolder;

namespace {

IPort* const kUntouched = reinterpret_cast<IPort*>(0x1);

class PortFactoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetProgramFolder(folder.path());
        replay = folder.file("replay.bin");
        fjcomm_test::WriteFile(replay, {0x24, 0x24, 0x0D, 0x0A});
    }
    void TearDown() override { platform::RegisterComPort(kCom, ""); }

    // A replay port that is the library's current port.
    IPort* MakeCurrent() {
        IPort* p = nullptr;
        EXPECT_EQ(CreatePortInstance(PORT_TYPE_VIRTUAL, const_cast<char*>(replay.c_str()), &p), PORT_OK);
        EXPECT_EQ(CurrentPortInstance(), p);
        return p;
    }

    static constexpr int kCom = 9;
    ScratchFolder folder;
    std::string replay;
};

TEST_F(PortFactoryTest, UnsupportedTypesCreateNothingAndKeepTheCurrentPort) {
    IPort* current = MakeCurrent();
    PARAM_COM com;
    for (int type : {-1, 4, 100}) {
        IPort* p = kUntouched;
        EXPECT_EQ(CreatePortInstance(type, &com, &p), PORT_TYPE_NOT_SUPPORTED) << type;
        EXPECT_EQ(p, kUntouched) << type;
        EXPECT_EQ(CurrentPortInstance(), current) << type;
    }
    current->Uninitialize();
    ExitPortInstance(&current);
    EXPECT_EQ(current, nullptr);
    EXPECT_EQ(CurrentPortInstance(), nullptr);
}

TEST_F(PortFactoryTest, FailedOpensReturnTheirCodeAndLeaveNothingBehind) {
    platform::RegisterComPort(kCom, folder.file("no-such-tty"));
    PARAM_COM missingCom;
    missingCom.port = kCom;
    PARAM_BT missingBt;
    missingBt.port = kCom;
    const std::string missingFile = folder.file("no-such-recording.bin");
    struct Case {
        const char* what;
        int type;
        void* param;
        unsigned code;
    };
    const Case cases[] = {
        {"serial without settings", PORT_TYPE_COM, nullptr, PORT_BAD_PARAMETER},
        {"Bluetooth without settings", PORT_TYPE_BT, nullptr, PORT_BAD_PARAMETER},
        {"TCP without address", PORT_TYPE_SOCK, nullptr, PORT_BAD_PARAMETER},
        {"replay without path", PORT_TYPE_VIRTUAL, nullptr, PORT_FILE_OPEN_FAILED},
        {"missing serial device", PORT_TYPE_COM, &missingCom, PORT_BAD_PARAMETER},
        {"missing Bluetooth device", PORT_TYPE_BT, &missingBt, PORT_BAD_PARAMETER},
        {"missing replay file", PORT_TYPE_VIRTUAL, const_cast<char*>(missingFile.c_str()), PORT_FILE_OPEN_FAILED},
    };
    for (const Case& c : cases) {
        IPort* current = MakeCurrent();
        IPort* p = kUntouched;
        EXPECT_EQ(CreatePortInstance(c.type, c.param, &p), c.code) << c.what;
        EXPECT_EQ(p, kUntouched) << c.what;
        EXPECT_EQ(CurrentPortInstance(), nullptr) << c.what << ": the current-instance record is emptied";
        current->Uninitialize();
        ExitPortInstance(&current);
    }
    // No place to hand the port back: nothing is made.
    PARAM_SOCK sock;
    EXPECT_EQ(CreatePortInstance(PORT_TYPE_SOCK, &sock, nullptr), PORT_BAD_PARAMETER);
}

TEST_F(PortFactoryTest, EachTypeMakesItsPortClass) {
    fjcomm_test::Pty pty;
    ASSERT_TRUE(pty.ok());
    platform::RegisterComPort(kCom, pty.path());
    PARAM_BT bt;
    bt.port = kCom;
    PARAM_SOCK sock;
    sock.address = fjcomm_test::Loopback();
    sock.port = fjcomm_test::UnusedLoopbackPort();
    struct Case {
        int type;
        void* param;
        unsigned getType;
        bool openBeforeUse;
    };
    const Case cases[] = {
        {PORT_TYPE_BT, &bt, 0, true},  // a Bluetooth virtual COM port is the serial class
        {PORT_TYPE_SOCK, &sock, 2, false},
        {PORT_TYPE_VIRTUAL, const_cast<char*>(replay.c_str()), 3, true},
    };
    for (const Case& c : cases) {
        IPort* p = nullptr;
        ASSERT_EQ(CreatePortInstance(c.type, c.param, &p), PORT_OK) << c.type;
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(CurrentPortInstance(), p);
        EXPECT_EQ(p->GetType(), c.getType) << c.type;
        EXPECT_EQ(p->IsOpen(), c.openBeforeUse) << c.type;
        // SetBaud acts on serial ports only.
        EXPECT_EQ(SetBaud(19200), c.getType == 0 ? PORT_OK : PORT_TYPE_NOT_SUPPORTED) << c.type;
        p->Uninitialize();
        ExitPortInstance(&p);
        EXPECT_EQ(p, nullptr);
        EXPECT_EQ(CurrentPortInstance(), nullptr);
    }
}

TEST_F(PortFactoryTest, ExitAndSetBaudWithoutAPortDoNothing) {
    ExitPortInstance(nullptr);
    IPort* none = nullptr;
    ExitPortInstance(&none);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(CurrentPortInstance(), nullptr);
    EXPECT_EQ(SetBaud(9600), PORT_BAD_PARAMETER);

    // Freeing a port that is no longer the current one leaves the current one.
    IPort* older = MakeCurrent();
    IPort* newer = MakeCurrent();
    ExitPortInstance(&older);
    EXPECT_EQ(CurrentPortInstance(), newer);
    newer->Uninitialize();
    ExitPortInstance(&newer);
    EXPECT_EQ(CurrentPortInstance(), nullptr);
}

TEST(PortLibraryExports, TheSharedLibraryExportsThePortFunctions) {
    void* lib = dlopen(FJCOMM_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    using Create = unsigned (*)(int, void*, IPort**);
    auto create = reinterpret_cast<Create>(
        dlsym(lib, "_ZN11Fjarnis20116FJComm18CreatePortInstanceEiPvPPNS0_5IPortE"));
    EXPECT_NE(dlsym(lib, "_ZN11Fjarnis20116FJComm16ExitPortInstanceEPPNS0_5IPortE"), nullptr);
    EXPECT_NE(dlsym(lib, "_ZN11Fjarnis20116FJComm7SetBaudEj"), nullptr);
    ASSERT_NE(create, nullptr);
    IPort* p = kUntouched;
    EXPECT_EQ(create(4, nullptr, &p), PORT_TYPE_NOT_SUPPORTED);
    EXPECT_EQ(p, kUntouched);
    // The library's own helpers stay hidden.
    EXPECT_EQ(dlsym(lib, "_ZN11Fjarnis20116FJComm19CurrentPortInstanceEv"), nullptr);
    dlclose(lib);
}

}  // namespace
