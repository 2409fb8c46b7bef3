// The handheld Connect page's Bluetooth search and binding against the
// scripted Bluetooth backend: the end of each search and its message, a user
// stop, a binding refused, and a found receiver bound to COM2, reached over
// the simulated receiver's pseudo-terminal and brought to the working state.

#include "platform/Bluetooth.h"
#include "platform/ErrorCodes.h"
#include "program/ConfigFiles.h"
#include "program/DeviceManager.h"
#include "program/pages/Connect.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QListWidget>

#include <memory>

namespace {

using guitest::ProgramGuiTest;

constexpr uint64_t kRover = 0x00A1B2C3D4E5ull;
constexpr uint64_t kPhone = 0x001122334455ull;

platform::BluetoothLookupResult Device(const std::wstring& name, uint64_t address) {
    platform::BluetoothLookupResult r;
    r.hasName = true;
    r.name = name;
    r.addresses.push_back({address, 0});
    return r;
}

class HandheldBluetoothTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        bluetooth_ = std::make_shared<platform::ScriptedBluetoothBackend>();
        platform::SetBluetoothBackend(bluetooth_);
        ProgramGuiTest::SetUp();
    }
    void TearDown() override {
        ProgramGuiTest::TearDown();
        sim_.Stop();
        platform::RegisterComPort(2, std::string());
        platform::SetBluetoothBackend(nullptr);
    }
    // The last connection was over the maker's Bluetooth on COM2, with two
    // devices bound before.
    void prepareFolder() override {
        QDir().mkpath(path(QStringLiteral("configs")));
        QFile f(path(QStringLiteral("configs/connectionparams.brt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
                "<connectionparams><connection type=\"group\"><type>1</type><port>2</port>"
                "<baud>9600</baud></connection></connectionparams>\n");
        f.close();
        platform::SetProgramFolder(folder_.path().toStdString());
        std::vector<std::wstring> names{L"Old", L"Older"};
        std::vector<uint64_t> addresses{0x10ull, 0x20ull};
        BtBindingsConfig().write(names, addresses);
    }

    Connect* openPage() {
        startWindow();
        window_->onCommand(QStringLiteral("Connection"));
        auto* page = static_cast<Connect*>(window_->currentPage());
        EXPECT_EQ(page->connectionMethod(), 1);
        return page;
    }
    QListWidget* list() const { return window_->findChild<QListWidget*>(QStringLiteral("listWidget")); }
    void clickRow(int row) {
        QListWidget* l = list();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
    }
    int searchState() const { return list()->item(0)->data(Connect::kSearchStateRole).toInt(); }
    // Starts a search from the search row and waits for its end.
    void searchToTheEnd() {
        const size_t before = watcher_.messages.size();
        clickRow(0);
        ASSERT_TRUE(waitFor([&] { return watcher_.messages.size() > before; })) << watcher_.describe().toStdString();
        EXPECT_EQ(searchState(), 0);
        EXPECT_FALSE(QApplication::overrideCursor());
    }

    std::shared_ptr<platform::ScriptedBluetoothBackend> bluetooth_;
    sim::SimReceiver sim_;
};

TEST_F(HandheldBluetoothTest, EachEndOfASearchGivesItsMessage) {
    Connect* page = openPage();
    ASSERT_EQ(list()->count(), 3) << "the devices bound before";
    struct Case {
        const char* what;
        std::vector<platform::BluetoothLookupResult> results;
        uint32_t endCode;
        int radio;
        QString title;
        QString text;
        int rows;  // device rows afterwards
    };
    const std::vector<Case> cases = {
        {"nothing around", {}, platform::wsaerr::kNoMore, platform::kRadioConnectable, "Warning",
         "Bluetooth closed or no device around !", 0},
        {"no receiver of the maker", {Device(L"Phone", kPhone)}, platform::wsaerr::kNoMore,
         platform::kRadioConnectable, "Warning", "Bluetooth closed or no device around !", 0},
        {"a receiver", {Device(L"Phone", kPhone), Device(L"GNSS-Rover", kRover)}, platform::wsaerr::kNoMore,
         platform::kRadioConnectable, "Information", "No more devices around.", 1},
        {"the radio went down", {}, platform::wsaerr::kNetDown, platform::kRadioConnectable, "Warning",
         "Bluetooth closed or no device around !", 0},
        {"a search error", {}, 10060, platform::kRadioConnectable, "Warning",
         "Failed to search device!\nError Code: 10060", 0},
        {"the radio is off", {}, platform::wsaerr::kNoMore, platform::kRadioOff, "Warning", "Bluetooth closed.", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bluetooth_->SetRadio(c.radio);
        bluetooth_->SetResults(c.results, c.endCode);
        searchToTheEnd();
        ASSERT_FALSE(watcher_.messages.empty());
        EXPECT_EQ(watcher_.messages.back().title, c.title);
        EXPECT_EQ(watcher_.messages.back().text, c.text);
        ASSERT_EQ(list()->count(), 1 + c.rows);
        if (c.rows == 1) {
            EXPECT_EQ(list()->item(1)->text(), QStringLiteral("GNSS-Rover (a1b2c3d4e5)"));
            EXPECT_EQ(list()->item(1)->data(Connect::kDeviceAddressRole).toULongLong(), kRover);
        }
        EXPECT_TRUE(page->backAction()->isEnabled()) << "the page is usable again";
        EXPECT_TRUE(page->connectAction()->isEnabled());
    }
}

TEST_F(HandheldBluetoothTest, AUserStopShowsNothing) {
    Connect* page = openPage();
    bluetooth_->SetResults({Device(L"GNSS-Rover", kRover)}, platform::wsaerr::kNoMore, true);
    clickRow(0);
    ASSERT_TRUE(waitFor([&] { return list()->count() == 2; })) << "the device arrives while the search runs";
    EXPECT_EQ(searchState(), 1);
    EXPECT_EQ(list()->item(0)->text(), QStringLiteral("Stop Searching"));
    EXPECT_FALSE(page->backAction()->isEnabled()) << "busy while searching";
    EXPECT_TRUE(list()->isEnabled());
    ASSERT_TRUE(bluetooth_->WaitUntilInquiryWaits(5000));

    clickRow(0);
    ASSERT_TRUE(waitFor([&] { return searchState() == 0; }));
    QTest::qWait(100);
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    EXPECT_EQ(bluetooth_->InquiriesEnded(), 1);
    EXPECT_EQ(list()->count(), 2);
    EXPECT_TRUE(page->backAction()->isEnabled());
}

TEST_F(HandheldBluetoothTest, AFoundReceiverIsBoundConnectedAndStoredFirst) {
    std::string error;
    ASSERT_TRUE(sim_.Start(&error)) << error;
    bluetooth_->SetDeviceLine(kRover, sim_.SlavePath());
    bluetooth_->SetResults({Device(L"GNSS-Rover", kRover)}, platform::wsaerr::kNoMore);
    Connect* page = openPage();
    ASSERT_EQ(page->portNumber(), 2);
    searchToTheEnd();
    ASSERT_EQ(watcher_.messages.back().text, QStringLiteral("No more devices around."));
    ASSERT_EQ(list()->count(), 2);

    clickRow(1);
    clickSoftKey(QStringLiteral("Connect"));
    ASSERT_TRUE(waitFor([] { return DeviceManager::instance()->connectionState() == 4; }, 30000))
        << watcher_.describe().toStdString();
    ASSERT_TRUE(waitFor([&] { return watcher_.shown(QStringLiteral("Successfully connected")); }))
        << watcher_.describe().toStdString();

    const auto registrations = bluetooth_->Registrations();
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0].index, 2u);
    EXPECT_EQ(registrations[0].params.device, kRover);
    EXPECT_FALSE(lineIsFree(sim_.SlavePath())) << "the program holds the receiver's line";

    std::vector<std::wstring> names;
    std::vector<uint64_t> addresses;
    BtBindingsConfig().read(names, addresses);
    EXPECT_EQ(addresses, (std::vector<uint64_t>{kRover, 0x10ull, 0x20ull}));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Rover", L"Old", L"Older"}));
    ConnectionParams saved;
    ConnectionParamsConfig().read(saved);
    EXPECT_EQ(saved.type, 1);
    EXPECT_EQ(saved.port, 2);
    EXPECT_EQ(saved.address, std::to_wstring(kRover));
}

TEST_F(HandheldBluetoothTest, APortInUseRefusesTheBinding) {
    bluetooth_->SetDeviceLine(kRover, path(QStringLiteral("no-such-tty")).toStdString());
    bluetooth_->SetIndexTaken(2);
    bluetooth_->SetResults({Device(L"GNSS-Rover", kRover)}, platform::wsaerr::kNoMore);
    Connect* page = openPage();
    searchToTheEnd();
    clickRow(1);
    clickSoftKey(QStringLiteral("Connect"));
    EXPECT_EQ(page->resultCode(), 2404);
    EXPECT_EQ(watcher_.messages.back().text, QStringLiteral("Port is in use."));
    EXPECT_EQ(DeviceManager::instance()->connectionState(), 0);
    EXPECT_TRUE(bluetooth_->Registrations().empty());
    std::vector<std::wstring> names;
    std::vector<uint64_t> addresses;
    BtBindingsConfig().read(names, addresses);
    EXPECT_EQ(addresses, (std::vector<uint64_t>{0x10ull, 0x20ull})) << "a failed binding is not remembered";
}

TEST_F(HandheldBluetoothTest, ClosingThePageDuringASearchEndsItCleanly) {
    bluetooth_->SetResults({Device(L"GNSS-Rover", kRover)}, platform::wsaerr::kNoMore, true);
    openPage();
    clickRow(0);
    ASSERT_TRUE(bluetooth_->WaitUntilInquiryWaits(5000));
    delete window_;
    window_ = nullptr;
    EXPECT_EQ(bluetooth_->InquiriesEnded(), 1);
    QTest::qWait(50);  // nothing queued for the page may run now
}

}  // namespace
