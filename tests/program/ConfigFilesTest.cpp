#include "program/CommonHelper.h"
#include "program/ConfigFiles.h"
#include "program/JSettings.h"
#include "tests/program/OrdinaryUser.h"
#include "tests/program/TestSupport.h"

#include "program/RadioTables.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n";

class ConfigFilesTest : public ProgramFolderTest {};

TEST_F(ConfigFilesTest, DefaultConnectMethodsFileByteForByte) {
    ConnectMethodsConfig config;
    EXPECT_EQ(readFile(path("configs/connectmethods.brt")),
              kDecl +
                  "<connectmethods>\n"
                  "    <methods type=\"array\">\n"
                  "        <size>3</size>\n"
                  "        <a1>\n"
                  "            <support>1</support>\n"
                  "            <name>Port</name>\n"
                  "            <method>0</method>\n"
                  "        </a1>\n"
                  "        <a2>\n"
                  "            <support>1</support>\n"
                  "            <name>KVX BT</name>\n"
                  "            <method>1</method>\n"
                  "        </a2>\n"
                  "        <a3>\n"
                  "            <support>1</support>\n"
                  "            <name>Sys. BT</name>\n"
                  "            <method>101</method>\n"
                  "        </a3>\n"
                  "    </methods>\n"
                  "</connectmethods>\n");
    std::vector<std::wstring> names;
    std::vector<int32_t> methods;
    config.read(names, methods);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Port", L"KVX BT", L"Sys. BT"}));
    EXPECT_EQ(methods, (std::vector<int32_t>{0, 1, 101}));
}

TEST_F(ConfigFilesTest, DefaultValidCheckFileByteForByteAndItsLimits) {
    ValidityCheckSettings limits;
    EXPECT_EQ(readFile(path("configs/validcheck.brt")),
              kDecl +
                  "<validcheck>\n"
                  "    <lengthcheck type=\"group\">\n"
                  "        <server type=\"group\">\n"
                  "            <name>64</name>\n"
                  "            <baseid>16</baseid>\n"
                  "        </server>\n"
                  "        <apn type=\"group\">\n"
                  "            <user>32</user>\n"
                  "            <password>16</password>\n"
                  "            <total>48</total>\n"
                  "        </apn>\n"
                  "        <cors type=\"group\">\n"
                  "            <user>31</user>\n"
                  "            <password>31</password>\n"
                  "            <source>31</source>\n"
                  "            <total>43</total>\n"
                  "        </cors>\n"
                  "    </lengthcheck>\n"
                  "</validcheck>\n");
    int32_t a = 0, b = 0, c = 0, d = 0;
    limits.serverLengths(a, b);
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(64, 16));
    limits.apnLengths(a, b, c);
    EXPECT_EQ(std::vector<int32_t>({a, b, c}), std::vector<int32_t>({32, 16, 48}));
    limits.corsLengths(a, b, c, d);
    EXPECT_EQ(std::vector<int32_t>({a, b, c, d}), std::vector<int32_t>({31, 31, 31, 43}));
    EXPECT_EQ(ValidityCheckSettings::instance(), ValidityCheckSettings::instance());
}

TEST_F(ConfigFilesTest, ConnectBaudsDefaultsFromAnEmptyFolder) {
    ConnectBaudsConfig config;
    EXPECT_FALSE(config.needsDefaults());
    std::vector<int32_t> bauds, ports, data;
    std::vector<std::wstring> names;
    config.read(bauds, ports, names, data);
    EXPECT_EQ(bauds, (std::vector<int32_t>{9600, 19200, 38400, 57600, 115200}));
    ASSERT_EQ(ports.size(), 255u);
    for (size_t i = 0; i < ports.size(); ++i) EXPECT_EQ(ports[i], int32_t(i + 1));
    // "Q48 Series" is in the file but not supported.
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Q22 Series", L"GNSS RTK Series"}));
    EXPECT_EQ(data, (std::vector<int32_t>{2, 0}));
    const std::string raw = readFile(path("configs/connectbauds.brt"));
    EXPECT_NE(raw.find("<device>Q48 Series</device>\n            <data>1</data>\n            "
                       "<supported>0</supported>"),
              std::string::npos);
    EXPECT_NE(raw.find("<a255>\n            <port>255</port>"), std::string::npos);
}

TEST_F(ConfigFilesTest, ConnectBaudsFiltersAndRewritesAPartlyFilledFile) {
    makeDir("configs");
    const std::string file = path("configs/connectbauds.brt");
    // "devices" empty: all three arrays are written again.
    writeFile(file, kDecl + "<connectbauds><bauds type=\"array\"><size>1</size><a1><baud>4800</baud></a1>"
                            "</bauds></connectbauds>\n");
    {
        ConnectBaudsConfig config;
        std::vector<int32_t> bauds, ports, data;
        std::vector<std::wstring> names;
        config.read(bauds, ports, names, data);
        EXPECT_EQ(bauds.size(), 5u);
        EXPECT_EQ(ports.size(), 255u);
    }
    // Filled by hand: non-positive bauds, negative ports, nameless or
    // unsupported devices are left out.
    writeFile(file, kDecl +
                        "<connectbauds>"
                        "<bauds type=\"array\"><size>3</size><a1><baud>0</baud></a1><a2><baud>4800</baud></a2>"
                        "<a3><baud>-5</baud></a3></bauds>"
                        "<ports type=\"array\"><size>3</size><a1><port>0</port></a1><a2><port>-1</port></a2>"
                        "<a3><port>7</port></a3></ports>"
                        "<devices type=\"array\"><size>3</size>"
                        "<a1><device></device><data>5</data><supported>1</supported></a1>"
                        "<a2><device>X</device><data>6</data></a2>"
                        "<a3><device>Y</device><supported>1</supported></a3></devices>"
                        "</connectbauds>\n");
    ConnectBaudsConfig config;
    std::vector<int32_t> bauds, ports, data;
    std::vector<std::wstring> names;
    config.read(bauds, ports, names, data);
    EXPECT_EQ(bauds, (std::vector<int32_t>{4800}));
    EXPECT_EQ(ports, (std::vector<int32_t>{0, 7}));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Y"}));
    EXPECT_EQ(data, (std::vector<int32_t>{-1}));
}

// A hand-edited "connectbauds.brt": "bauds" of size 5 whose third item was
// taken out, or left empty. Every baud that is there is offered, the last
// one included, and reading changes nothing in the file.
TEST_F(ConfigFilesTest, ConnectBaudsWithAMissingOrEmptyItemOffersEveryBaudThatIsThere) {
    makeDir("configs");
    const std::string file = path("configs/connectbauds.brt");
    const std::string rest =
        "    <ports type=\"array\">\n        <size>1</size>\n        <a1>\n            <port>3</port>\n"
        "        </a1>\n    </ports>\n"
        "    <devices type=\"array\">\n        <size>1</size>\n        <a1>\n            <device>D</device>\n"
        "            <data>2</data>\n            <supported>1</supported>\n        </a1>\n    </devices>\n";
    auto item = [](int n, int baud) {
        return "        <a" + std::to_string(n) + ">\n            <baud>" + std::to_string(baud) +
               "</baud>\n        </a" + std::to_string(n) + ">\n";
    };
    const struct {
        const char* name;
        std::string third;
    } cases[] = {{"missing", ""}, {"empty", "        <a3></a3>\n"}, {"empty, written short", "        <a3 />\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string original = kDecl + "<connectbauds>\n    <bauds type=\"array\">\n        <size>5</size>\n" +
                                     item(1, 9600) + item(2, 19200) + c.third + item(4, 57600) +
                                     item(5, 115200) + "    </bauds>\n" + rest + "</connectbauds>\n";
        writeFile(file, original);
        for (int round = 0; round < 2; ++round) {
            ConnectBaudsConfig config;
            std::vector<int32_t> bauds, ports, data;
            std::vector<std::wstring> names;
            config.read(bauds, ports, names, data);
            EXPECT_EQ(bauds, (std::vector<int32_t>{9600, 19200, 57600, 115200})) << round;
            EXPECT_EQ(ports, std::vector<int32_t>{3});
            EXPECT_EQ(names, std::vector<std::wstring>{L"D"});
            EXPECT_EQ(readFile(file), original) << round;
        }
    }
}

// The writers the pages use say when their file could not be written, and
// why; the file keeps what it held.
TEST_F(ConfigFilesTest, WritersReportASaveThatFails) {
    ConnectionParams params;
    params.port = 7;
    EXPECT_EQ(ConnectionParamsConfig().write(params), 0);
    EXPECT_EQ(BtBindingsConfig().write({L"R"}, {42}), 0);
    const std::string savedParams = readFile(path("configs/connectionparams.brt"));
    const std::string savedBindings = readFile(path("configs/btbindings.brt"));

    // A file where "configs" would be: nothing below it can be written, as
    // for root too.
    std::filesystem::rename(path("configs"), path("kept"));
    writeFile(path("configs"), "not a folder");
    params.port = 8;
    EXPECT_EQ(ConnectionParamsConfig().write(params), ENOTDIR);
    EXPECT_EQ(BtBindingsConfig().write({L"S"}, {43}), ENOTDIR);
    std::filesystem::remove(path("configs"));
    std::filesystem::rename(path("kept"), path("configs"));
    EXPECT_EQ(readFile(path("configs/connectionparams.brt")), savedParams);
    EXPECT_EQ(readFile(path("configs/btbindings.brt")), savedBindings);
}

TEST_F(ConfigFilesTest, ConnectMethodsListsSupportZeroButNotMissingOrNegative) {
    makeDir("configs");
    writeFile(path("configs/connectmethods.brt"),
              kDecl + "<connectmethods><methods type=\"array\"><size>4</size>"
                      "<a1><support>0</support><name>Zero</name><method>7</method></a1>"
                      "<a2><name>NoSupport</name><method>8</method></a2>"
                      "<a3><support>-1</support><name>Negative</name><method>9</method></a3>"
                      "<a4><support>1</support><name>NoMethod</name></a4>"
                      "</methods></connectmethods>\n");
    ConnectMethodsConfig config;
    std::vector<std::wstring> names;
    std::vector<int32_t> methods;
    config.read(names, methods);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Zero", L"NoMethod"}));
    EXPECT_EQ(methods, (std::vector<int32_t>{7, -1}));
}

TEST_F(ConfigFilesTest, SatelBaudrateTableAndUnknownPairs) {
    SatelBaudrateConfig config;
    struct Case {
        int32_t step, protocol, baud;
    };
    const Case cases[] = {
        {0, 5, 1}, {0, 6, 1}, {0, 8, 0}, {0, 9, 0},   //
        {1, 5, 1}, {1, 6, 1}, {1, 8, 0}, {1, 9, 0},   //
        {2, 5, 0}, {2, 6, 0}, {2, 8, 2}, {2, 9, 2},   //
        {3, 5, -1}, {0, 1, -1}, {-1, 5, -1}, {2, 0, -1},
    };
    for (const Case& c : cases) {
        int32_t baud = 77;
        config.baudRate(c.step, c.protocol, baud);
        EXPECT_EQ(baud, c.baud) << "step " << c.step << " protocol " << c.protocol;
    }
    const std::string raw = readFile(path("configs/satelbaudrate.brt"));
    EXPECT_EQ(raw.find(kDecl + "<baudrate>\n    <steparray type=\"array\">\n        <size>3</size>\n        <a1>\n"
                                "            <step>0</step>\n            <protocolarray type=\"array\">\n"
                                "                <size>4</size>\n                <a1>\n"
                                "                    <protocol>5</protocol>\n                    <baud>1</baud>\n"),
              0u);
}

TEST_F(ConfigFilesTest, SatelBaudrateMissingValuesRepeatThePreviousItemAndTheLastMatchWins) {
    makeDir("configs");
    writeFile(path("configs/satelbaudrate.brt"),
              kDecl + "<baudrate><steparray type=\"array\"><size>2</size>"
                      "<a1><step>4</step><protocolarray type=\"array\"><size>3</size>"
                      "<a1><protocol>5</protocol><baud>1</baud></a1>"
                      "<a2><baud>2</baud></a2>"  // protocol missing: still 5
                      "<a3><protocol>6</protocol></a3>"  // baud missing: unchanged
                      "</protocolarray></a1>"
                      "<a2><protocolarray type=\"array\"><size>1</size>"  // step missing: still 4
                      "<a1><protocol>6</protocol><baud>3</baud></a1></protocolarray></a2>"
                      "</steparray></baudrate>\n");
    SatelBaudrateConfig config;
    int32_t baud = 0;
    config.baudRate(4, 5, baud);
    EXPECT_EQ(baud, 2);
    config.baudRate(4, 6, baud);
    EXPECT_EQ(baud, 3);
    config.baudRate(0, 5, baud);
    EXPECT_EQ(baud, -1);
}

TEST_F(ConfigFilesTest, ValidCheckWithoutApnGroupReadsTheReaderDefaults) {
    makeDir("configs");
    writeFile(path("configs/validcheck.brt"),
              kDecl + "<validcheck><lengthcheck type=\"group\"><server type=\"group\"><name>20</name>"
                      "</server></lengthcheck></validcheck>\n");
    ValidityCheckSettings limits;
    int32_t a = 0, b = 0, c = 0, d = 0;
    limits.apnLengths(a, b, c);
    EXPECT_EQ(std::vector<int32_t>({a, b, c}), std::vector<int32_t>({31, 31, 28}));
    limits.serverLengths(a, b);
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(20, 16));
    limits.corsLengths(a, b, c, d);
    EXPECT_EQ(std::vector<int32_t>({a, b, c, d}), std::vector<int32_t>({31, 31, 31, 43}));
    EXPECT_FALSE(exists(path("configs/validcheck.brt.bak")));
}

TEST_F(ConfigFilesTest, ValidCheckWithAnotherRootIsReplacedAndKept) {
    makeDir("configs");
    const std::string foreign = kDecl + "<other>\n    <x>1</x>\n</other>\n";
    writeFile(path("configs/validcheck.brt"), foreign);
    ValidityCheckSettings limits;
    int32_t a = 0, b = 0, c = 0;
    limits.apnLengths(a, b, c);
    EXPECT_EQ(std::vector<int32_t>({a, b, c}), std::vector<int32_t>({32, 16, 48}));
    EXPECT_EQ(readFile(path("configs/validcheck.brt.bak")), foreign);
    EXPECT_NE(readFile(path("configs/validcheck.brt")).find("<validcheck>"), std::string::npos);
}

TEST_F(ConfigFilesTest, ConnectionParamsDefaultsAndRoundTrip) {
    ConnectionParamsConfig config;
    ConnectionParams params;
    params.type = 5;
    params.manufacture = L"changed";
    params.needAuto = false;
    config.read(params);
    EXPECT_EQ(params.type, 0);
    EXPECT_EQ(params.port, 1);
    EXPECT_EQ(params.baud, 9600);
    EXPECT_EQ(params.autoMethod, 0);
    EXPECT_EQ(params.device, L"");
    EXPECT_EQ(params.address, L"");
    EXPECT_EQ(params.manufacture, L"Orvel Works");
    EXPECT_TRUE(params.needAuto);
    EXPECT_EQ(readFile(path("configs/connectionparams.brt")), kDecl + "<connectionparams />\n");

    ConnectionParams written;
    written.type = 1;
    written.port = 12;
    written.baud = 115200;
    written.autoMethod = 2;
    written.device = L"GNSS RTK Series";
    written.address = L"00:11:22:33:44:55";
    written.manufacture = L"Other <Maker> & Co";
    written.needAuto = false;
    config.write(written);
    EXPECT_EQ(readFile(path("configs/connectionparams.brt")),
              kDecl +
                  "<connectionparams>\n"
                  "    <connection type=\"group\">\n"
                  "        <type>1</type>\n"
                  "        <port>12</port>\n"
                  "        <baud>115200</baud>\n"
                  "        <automethod>2</automethod>\n"
                  "        <device>GNSS RTK Series</device>\n"
                  "        <address>00:11:22:33:44:55</address>\n"
                  "        <manufacture>Other &lt;Maker&gt; &amp; Co</manufacture>\n"
                  "        <needauto>0</needauto>\n"
                  "    </connection>\n"
                  "</connectionparams>\n");
    ConnectionParams back;
    ConnectionParamsConfig().read(back);
    EXPECT_EQ(back.type, 1);
    EXPECT_EQ(back.port, 12);
    EXPECT_EQ(back.baud, 115200);
    EXPECT_EQ(back.autoMethod, 2);
    EXPECT_EQ(back.device, written.device);
    EXPECT_EQ(back.address, written.address);
    EXPECT_EQ(back.manufacture, written.manufacture);
    EXPECT_FALSE(back.needAuto);
}

TEST_F(ConfigFilesTest, BtBindingsKeepFortyEightBitsAndPadMissingNames) {
    BtBindingsConfig config;
    std::vector<std::wstring> names{L"old"};
    std::vector<uint64_t> addresses{1};
    config.read(names, addresses);  // the file is created with its root only
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(addresses.empty());
    EXPECT_EQ(readFile(path("configs/btbindings.brt")), kDecl + "<btbindings />\n");

    config.write({L"Rover \u00c4"}, {0xFFFFFFFFFFFFull, 0x001122334455ull});
    const std::string raw = readFile(path("configs/btbindings.brt"));
    EXPECT_NE(raw.find("<address>281474976710655</address>"), std::string::npos);
    config.read(names, addresses);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Rover \u00c4", L""}));
    EXPECT_EQ(addresses, (std::vector<uint64_t>{0xFFFFFFFFFFFFull, 0x001122334455ull}));

    // Fewer devices now: the count shrinks.
    config.write({L"only"}, {42});
    config.read(names, addresses);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"only"}));
    EXPECT_EQ(addresses, (std::vector<uint64_t>{42}));
}

TEST_F(ConfigFilesTest, BtBindingsAddressThatIsNoNumberReadsZero) {
    makeDir("configs");
    writeFile(path("configs/btbindings.brt"),
              kDecl + "<btbindings><btbind type=\"group\"><devices type=\"array\"><size>2</size>"
                      "<a1><address>abc</address><name>A</name></a1><a2><name>B</name></a2>"
                      "</devices></btbind></btbindings>\n");
    std::vector<std::wstring> names;
    std::vector<uint64_t> addresses;
    BtBindingsConfig().read(names, addresses);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"A", L"B"}));
    EXPECT_EQ(addresses, (std::vector<uint64_t>{0, 0}));
}

TEST_F(ConfigFilesTest, ReadersLeaveFilesWithTheirItemsAsTheyAre) {
    // Every reader once from an empty folder, then every reader again: the
    // second round finds items and neither rewrites the defaults nor changes
    // a byte, though each operation writes its file.
    const char* const files[] = {"connectbauds", "connectmethods", "satelbaudrate",
                                 "validcheck",   "connectionparams", "btbindings"};
    auto everyReader = [] {
        std::vector<int32_t> ints, more, data;
        std::vector<std::wstring> names;
        ConnectBaudsConfig().read(ints, more, names, data);
        ConnectMethodsConfig().read(names, ints);
        int32_t baud = 0;
        SatelBaudrateConfig().baudRate(2, 8, baud);
        ValidityCheckSettings limits;
        ConnectionParams params;
        ConnectionParamsConfig().read(params);
        std::vector<uint64_t> addresses;
        BtBindingsConfig().read(names, addresses);
    };
    everyReader();
    std::vector<std::string> first;
    for (const char* f : files) first.push_back(readFile(path(std::string("configs/") + f + ".brt")));
    everyReader();
    for (size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE(files[i]);
        EXPECT_FALSE(first[i].empty());
        EXPECT_EQ(readFile(path(std::string("configs/") + files[i] + ".brt")), first[i]);
    }
    EXPECT_EQ(CommonHelper::connectBaudsPath(), wpath("configs/connectbauds.brt"));
}

// What every reader with built-in defaults offers, as one line.
std::string WhatTheReadersOffer() {
    std::vector<std::wstring> names;
    std::vector<int32_t> methods, bauds, ports, deviceData, antennaCodes;
    std::vector<std::wstring> deviceNames, antennas;
    ConnectMethodsConfig().read(names, methods);
    ConnectBaudsConfig().read(bauds, ports, deviceNames, deviceData);
    int32_t user = 0, password = 0, total = 0, baud = 0;
    ValidityCheckSettings().apnLengths(user, password, total);
    SatelBaudrateConfig().baudRate(2, 8, baud);
    std::vector<double> high;
    RadioChannelStore().frequencies(0, high);
    AntennaTypeList().read(antennas, antennaCodes);
    std::string line = "methods " + std::to_string(names.size()) + " bauds " + std::to_string(bauds.size()) +
                       " ports " + std::to_string(ports.size()) + " devices " + std::to_string(deviceNames.size()) +
                       " apn " + std::to_string(user) + "/" + std::to_string(password) + "/" +
                       std::to_string(total) + " baud " + std::to_string(baud) + " channels " +
                       std::to_string(high.size()) + " antennas " + std::to_string(antennas.size());
    if (high.size() > 1) line += " ch1 " + std::to_string(int(std::lround(high[1] * 100)));
    return line;
}

// The readers with built-in defaults offer them whether or not they could be
// written: in a "configs" folder that cannot be written and holds no file
// yet, and in one whose files are there but cannot be read. Nothing that is
// there is changed, and nothing is added.
TEST_F(ConfigFilesTest, DefaultsHoldWhenTheirFilesCannotBeWrittenOrRead) {
    const std::string offered = "methods 3 bauds 5 ports 255 devices 2 apn 32/16/48 baud 2 channels 10 antennas 13 ch1 45605";
    const bool root = ::geteuid() == 0;
    makeDir("configs");
    if (root) {
        ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
        ASSERT_EQ(::chown(path("configs").c_str(), 65534, 65534), 0);
    }
    const char* const files[] = {"connectmethods.brt", "connectbauds.brt", "validcheck.brt",
                                 "satelbaudrate.brt",  "radiochannels.brt", "antennatype.brt"};
    auto listing = [&] {
        std::string names;
        for (const auto& e : std::filesystem::directory_iterator(path("configs")))
            names += e.path().filename().string() + " ";
        return names;
    };
    {
        SCOPED_TRACE("a folder that cannot be written");
        ASSERT_EQ(::chmod(path("configs").c_str(), 0555), 0);
        const std::string got = ordinaryuser::Run(WhatTheReadersOffer);
        ASSERT_EQ(::chmod(path("configs").c_str(), 0755), 0);
        if (ordinaryuser::CannotRun(got)) GTEST_SKIP() << got;
        EXPECT_EQ(got, offered);
        EXPECT_EQ(listing(), "");
    }
    {
        SCOPED_TRACE("files that cannot be read");
        // Foreign files: could they be read, they would be kept as ".bak"
        // and replaced with the defaults.
        const std::string bytes = kDecl + "<x/>\n";
        for (const char* f : files) {
            writeFile(path(std::string("configs/") + f), bytes);
            ASSERT_EQ(::chmod(path(std::string("configs/") + f).c_str(), 0), 0);
        }
        const std::string before = listing();
        const std::string got = ordinaryuser::Run(WhatTheReadersOffer);
        EXPECT_EQ(got, offered);
        EXPECT_EQ(listing(), before) << "no backup, no temporary file";
        for (const char* f : files) {
            ::chmod(path(std::string("configs/") + f).c_str(), 0644);
            EXPECT_EQ(readFile(path(std::string("configs/") + f)), bytes) << f;
        }
    }
}

}  // namespace
