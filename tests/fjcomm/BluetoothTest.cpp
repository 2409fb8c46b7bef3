// The handheld's Bluetooth search and binding, over the scripted backend (and
// the BlueZ backend on a machine without an adapter).

#include "fjcomm/Bluetooth.h"
#include "fjcomm/BluetoothText.h"
#include "fjcomm/IPort.h"
#include "platform/Bluetooth.h"
#include "platform/ComPorts.h"
#include "platform/ErrorCodes.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <chrono>
#include <future>
#include <mutex>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJComm;
using platform::BluetoothLookupResult;
using platform::ScriptedBluetoothBackend;

namespace {

struct Found {
    std::wstring name;
    BT_ADDR address;
    uint32_t port;
    uint32_t portValue;
};

std::mutex g_foundMutex;
std::vector<Found> g_found;

void CollectDevice(const wchar_t* name, BT_ADDR* address, uint32_t* port, uint32_t portValue) {
    std::lock_guard<std::mutex> lock(g_foundMutex);
    g_found.push_back({name, *address, *port, portValue});
}

class BluetoothTest : public ::testing::Test {
protected:
    void SetUp() override {
        backend = std::make_shared<ScriptedBluetoothBackend>();
        platform::SetBluetoothBackend(backend);
        std::lock_guard<std::mutex> lock(g_foundMutex);
        g_found.clear();
    }
    void TearDown() override { platform::SetBluetoothBackend(nullptr); }

    static BluetoothLookupResult Device(const wchar_t* name, uint64_t address, uint32_t port = 0) {
        BluetoothLookupResult r;
        r.hasName = name != nullptr;
        if (name) r.name = name;
        r.addresses = {{address, port}};
        return r;
    }

    std::shared_ptr<ScriptedBluetoothBackend> backend;
};

TEST(BluetoothText, GuidAndAddressParsers) {
    platform::BluetoothGuid g;
    ASSERT_TRUE(ParseGuidText("00001101-0000-1000-8000-00805F9B34FB", &g));
    const platform::BluetoothGuid spp{0x00001101, 0x0000, 0x1000, {0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB}};
    EXPECT_EQ(g, spp);

    struct Case {
        const char* text;
        bool ok;
    };
    for (const Case& c : {
             Case{"00001101-0000-1000-8000-00805f9b34fb\n", true},  // either case, trailing white space
             Case{"1-2-3-4455-66778899aabb", true},                 // short first fields read as far as they go
             Case{"00001101-0000-1000-8000-00805F9B34", false},     // last field missing
             Case{"00001101-0000-1000-800000805F9B34FB", false},    // missing separator
             Case{"G0001101-0000-1000-8000-00805F9B34FB", false},   // not hexadecimal
             Case{"", false},
         }) {
        platform::BluetoothGuid out{1, 2, 3, {4, 4, 4, 4, 4, 4, 4, 4}};
        EXPECT_EQ(ParseGuidText(c.text, &out), c.ok) << c.text;
    }
    EXPECT_FALSE(ParseGuidText(nullptr, &g));

    struct AddressCase {
        const char* text;
        bool ok;
        uint64_t value;
    };
    for (const AddressCase& c : {
             AddressCase{"0012AB34CD56", true, 0x0012AB34CD56},
             AddressCase{"   0012ab34cd56 rest", true, 0x0012AB34CD56},  // leading spaces, then a space
             AddressCase{"0012AB34CD5", false, 0},                     // 11 digits
             AddressCase{"0012AB34CD567", false, 0},                   // 13 digits
             AddressCase{"0012AB34CD56x", false, 0},
             AddressCase{"ffff0012ab34cd56", false, 0},                // what an unmasked address would print
         }) {
        uint64_t out = 7;
        EXPECT_EQ(ParseDeviceAddressText(c.text, &out), c.ok) << c.text;
        EXPECT_EQ(out, c.ok ? c.value : 7u) << c.text;
    }
    EXPECT_EQ(DeviceAddressText(0x0012AB34CD56), "0012ab34cd56");
    EXPECT_EQ(DeviceAddressText(0xFFFF0012AB34CD56ull), "0012ab34cd56") << "masked to 48 bits first";
}

TEST_F(BluetoothTest, RadioOffRefusesTheStartAndPowerOnSwitchesItOn) {
    backend->SetRadio(platform::kRadioOff);
    Bluetooth bt;
    EXPECT_FALSE(bt.Start());
    EXPECT_EQ(bt.GetErrorCode(), 2206);
    EXPECT_EQ(backend->InquiriesBegun(), 0) << "no inquiry with the radio off";

    backend->SetRadioSwitchCode(5);  // the switch refused (access denied)
    EXPECT_EQ(bt.PowerOn(), 5);
    EXPECT_EQ(bt.GetErrorCode(), 5);
    backend->SetRadioSwitchCode(0);
    EXPECT_EQ(bt.PowerOn(), 0);
    EXPECT_EQ(bt.GetErrorCode(), 0);
    EXPECT_TRUE(bt.Start());
    EXPECT_EQ(backend->InquiriesBegun(), 1);

    backend->SetRadio(platform::kRadioConnectable, 1167);  // the query itself fails
    EXPECT_FALSE(bt.Start());
    EXPECT_EQ(bt.GetErrorCode(), 1167);
    backend->SetRadio(platform::kRadioConnectable);
    backend->SetBeginCode(10050);
    EXPECT_FALSE(bt.Start());
    EXPECT_EQ(bt.GetErrorCode(), 10050);
}

TEST_F(BluetoothTest, SearchReportsExactlyTheDevicesWithOneAddress) {
    BluetoothLookupResult noAddress = Device(L"GNSS-NOADDR", 0);
    noAddress.addresses.clear();
    BluetoothLookupResult twoAddresses = Device(L"GNSS-TWO", 0x111111111111);
    twoAddresses.addresses.push_back({0x222222222222, 3});
    BluetoothLookupResult emptyName = Device(L"", 0x0000000000AB, 9);
    backend->SetResults({Device(L"GNSS-1234", 0x0012AB34CD56, 1), Device(nullptr, 0xA0B0C0D0E0F0), noAddress,
                         twoAddresses, emptyName},
                        10110);
    Bluetooth bt;
    bt.deviceFound = CollectDevice;
    ASSERT_TRUE(bt.Start());
    EXPECT_EQ(bt.SearchBluetooth(), 3);
    EXPECT_EQ(bt.GetErrorCode(), 0) << "devices were reported";
    EXPECT_EQ(backend->EndCalls(), 1);

    std::lock_guard<std::mutex> lock(g_foundMutex);
    ASSERT_EQ(g_found.size(), 3u);
    EXPECT_EQ(g_found[0].name, L"GNSS-1234");
    EXPECT_EQ(g_found[0].address, 0x0012AB34CD56u);
    EXPECT_EQ(g_found[0].port, 1u);
    EXPECT_EQ(g_found[0].portValue, 1u);
    EXPECT_EQ(g_found[1].name, L"Unnamed Device");
    EXPECT_EQ(g_found[1].address, 0xA0B0C0D0E0F0u);
    EXPECT_EQ(g_found[2].name, L"Unnamed Device") << "an empty name counts as none";
    EXPECT_EQ(g_found[2].port, 9u);
}

TEST_F(BluetoothTest, SearchThatFindsNothingKeepsTheEndCode) {
    BluetoothLookupResult noAddress = Device(L"GNSS-NOADDR", 0);
    noAddress.addresses.clear();
    for (uint32_t end : {10110u, 10050u, 10111u}) {
        backend->SetResults({noAddress}, end);
        Bluetooth bt;
        bt.deviceFound = CollectDevice;
        ASSERT_TRUE(bt.Start());
        bt.Run();
        EXPECT_EQ(bt.GetErrorCode(), end == 10111u ? 0 : int(end)) << end << ": a cancelled inquiry reports 0";
    }
    std::lock_guard<std::mutex> lock(g_foundMutex);
    EXPECT_TRUE(g_found.empty());
}

TEST_F(BluetoothTest, StopDuringABlockingInquiryEndsItOnce) {
    backend->SetResults({Device(L"GNSS-1", 0x000000000001)}, 10110, /*holdOpen=*/true);
    Bluetooth bt;
    bt.deviceFound = CollectDevice;
    ASSERT_TRUE(bt.Start());
    auto run = std::async(std::launch::async, [&] { return bt.SearchBluetooth(); });
    ASSERT_TRUE(backend->WaitUntilInquiryWaits(10000)) << "the search never waited for a further device";
    bt.Stop();
    ASSERT_EQ(run.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "Run did not return after Stop";
    EXPECT_EQ(run.get(), 1);
    EXPECT_EQ(bt.GetErrorCode(), 0);
    EXPECT_EQ(backend->InquiriesEnded(), 1);
    EXPECT_EQ(backend->EndCalls(), 1) << "Stop and the end of Run must not both end the inquiry";
    bt.Stop();  // a late Stop finds nothing left to end
    EXPECT_EQ(backend->EndCalls(), 1);
}

TEST_F(BluetoothTest, DestroyingTheObjectStopsARunningSearch) {
    backend->SetResults({}, 10110, /*holdOpen=*/true);
    auto* bt = new Bluetooth;
    ASSERT_TRUE(bt->Start());
    std::thread worker([bt] { bt->Run(); });
    ASSERT_TRUE(backend->WaitUntilInquiryWaits(10000));
    // The object waits for Run before it goes; the worker is joined after.
    auto destroyed = std::async(std::launch::async, [bt] { delete bt; });
    EXPECT_EQ(destroyed.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    worker.join();
    EXPECT_EQ(backend->EndCalls(), 1);
}

TEST_F(BluetoothTest, BindingRegistersTheComPortAndTheReceiverAnswersThroughIt) {
    sim::SimReceiver receiver;
    ASSERT_TRUE(receiver.Start());
    backend->SetDeviceLine(0x0012AB34CD56, receiver.SlavePath());
    backend->SetDeviceLine(0x0000000000AA, "/dev/null");

    {
        Bluetooth bt;
        // Bits above the 48 of a device address are dropped, not printed.
        ASSERT_EQ(bt.BindBluetooth(0xFFFF0012AB34CD56ull, 8, 0), 0);
        const auto regs = backend->Registrations();
        ASSERT_EQ(regs.size(), 1u);
        EXPECT_EQ(regs[0].index, 8u);
        EXPECT_EQ(regs[0].params.device, 0x0012AB34CD56u);
        EXPECT_EQ(regs[0].params.channel, 0xFE);
        EXPECT_FALSE(regs[0].params.local);
        EXPECT_EQ(regs[0].params.flags, 1u);
        EXPECT_EQ(regs[0].params.serviceClass.data1, 0x00001101u);
        EXPECT_EQ(regs[0].params.serviceClass.data4[7], 0xFB);
        EXPECT_EQ(platform::ComPortPath(8), receiver.SlavePath());

        // The port library opens COM8 as a Bluetooth serial port and talks to the receiver.
        PARAM_BT param;  // port 8, 9600 baud
        IPort* port = nullptr;
        ASSERT_EQ(CreatePortInstance(PORT_TYPE_BT, &param, &port), PORT_OK);
        const uint8_t request[] = {0x24, 0x24, 0x53, 0x49, 0x18, 0x00, 0x02, 0x0D, 0x0A};  // "$$SI": device information
        EXPECT_EQ(port->WriteData(reinterpret_cast<const char*>(request), sizeof request), sizeof request);
        EXPECT_TRUE(receiver.WaitForCommand("SI"));
        std::string reply;
        for (int i = 0; i < 5000 && reply.find("$$SI") == std::string::npos; ++i) {
            char buf[256];
            const unsigned n = port->ReadData(buf, sizeof buf);
            if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            reply.append(buf, n);
        }
        EXPECT_NE(reply.find("$$SI"), std::string::npos) << "no device information reply on COM8";
        port->Uninitialize();
        ExitPortInstance(&port);

        // Another object cannot take the index this one holds, nor one another program holds.
        Bluetooth other;
        EXPECT_EQ(other.BindBluetooth(0x0000000000AA, 8, 0), 2404);
        backend->SetIndexTaken(5);
        EXPECT_EQ(other.BindBluetooth(0x0000000000AA, 5, 0), 2404);
        EXPECT_EQ(other.BindBluetooth(0x0000000000AA, 0, 0), 1413) << "no COM0 here";
        EXPECT_EQ(other.BindBluetooth(0x0000000000BB, 9, 0), int(platform::winerr::kDeviceNotConnected));

        // A second binding removes the port bound before.
        ASSERT_EQ(bt.BindBluetooth(0x0000000000AA, 9, 0), 0);
        EXPECT_EQ(backend->Deregistrations(), 1);
        EXPECT_EQ(platform::ComPortPath(8), "/dev/ttyS7") << "COM8 no longer points at the receiver";
        EXPECT_EQ(platform::ComPortPath(9), "/dev/null");
    }
    EXPECT_EQ(backend->Deregistrations(), 2) << "the destructor removes the bound port";
    EXPECT_TRUE(backend->Registrations().empty());
}

// On a machine without an adapter the Linux backend reports the radio off
// and binds nothing; a machine with one skips this.
TEST(BluetoothBlueZ, NoAdapterIsRadioOff) {
    if (DIR* d = opendir("/sys/class/bluetooth")) {
        bool any = false;
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') any = true;
        closedir(d);
        if (any) GTEST_SKIP() << "this machine has a Bluetooth adapter";
    }
    platform::SetBluetoothBackend(platform::MakeBlueZBackend());
    int mode = -1;
    EXPECT_EQ(platform::CurrentBluetoothBackend()->GetRadioMode(&mode), 0u);
    EXPECT_EQ(mode, platform::kRadioOff);
    {
        Bluetooth bt;
        EXPECT_FALSE(bt.Start());
        EXPECT_EQ(bt.GetErrorCode(), 2206);
        EXPECT_NE(bt.PowerOn(), 0) << "there is no radio to switch on";
        platform::RegisterComPort(8, "");
        EXPECT_NE(bt.BindBluetooth(0x0012AB34CD56, 8, 0), 0);
        EXPECT_EQ(platform::ComPortPath(8), "/dev/ttyS7") << "nothing registered";
    }
    platform::SetBluetoothBackend(nullptr);
}

}  // namespace
