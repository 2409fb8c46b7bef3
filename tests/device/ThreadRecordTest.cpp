// The handheld build records the life of the receiver object's threads in
// four files in the program folder; the desktop build records nothing.

#include "device/EmGnss_Receiver.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJDevice;
using namespace Fjarnis2011::FJParse;

namespace {

class ThreadRecordTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/brantor-records-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        platform::SetProgramFolder(folder_);
        std::ofstream(folder_ + "/replay.bin") << "nothing a receiver would say";
    }
    void TearDown() override {
        platform::SetProgramFolder(std::string());
        std::system(("rm -rf '" + folder_ + "'").c_str());
    }
    // The messages of one record file, each without its tick count.
    std::vector<std::string> Messages(const char* name) const {
        std::ifstream in(folder_ + "/" + name, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        std::vector<std::string> out;
        const std::regex record("(-?[0-9]+),([^\r]*\r\n)");
        const std::string text = all.str();
        for (auto it = std::sregex_iterator(text.begin(), text.end(), record); it != std::sregex_iterator(); ++it)
            out.push_back((*it)[2]);
        // Nothing may stand outside a record.
        size_t length = 0;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), record); it != std::sregex_iterator(); ++it)
            length += size_t(it->length());
        EXPECT_EQ(length, text.size()) << name;
        return out;
    }
    std::string folder_;
};

TEST_F(ThreadRecordTest, OpenAndCloseOnceRecordEachThreadAndTheCaller) {
    {
        EmGnss_Receiver rx(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
        ASSERT_TRUE(rx.Port_Open((folder_ + "/replay.bin").c_str()));
        ASSERT_TRUE(rx.Port_Close());
    }
#ifdef BRANTOR_HANDHELD
    using V = std::vector<std::string>;
    EXPECT_EQ(Messages("Main_Thread_Record.txt"), (V{"Start Threads \r\n", "Close Port Begin \r\n",
                                                      "All thread finished\r\n", "Close Port End\r\n", "~Device\r\n"}));
    EXPECT_EQ(Messages("Read_Thread_Record.txt"), (V{"read thread begin \r\n", "read thread return \r\n"}));
    EXPECT_EQ(Messages("Parse_Thread_Record.txt"), (V{"parse thread begin \r\n", "parse thread return \r\n"}));
    const V write = Messages("Write_Thread_Record.txt");
    ASSERT_GE(write.size(), 2u);
    EXPECT_EQ(write.front(), "write thread begin \r\n");
    EXPECT_EQ(write.back(), "write thread return \r\n");
    for (size_t i = 1; i + 1 < write.size(); ++i)
        EXPECT_EQ(write[i].rfind("write thread Evnt", 0), 0u) << write[i];
#else
    for (const char* name : {"Main_Thread_Record.txt", "Read_Thread_Record.txt", "Parse_Thread_Record.txt",
                             "Write_Thread_Record.txt"})
        EXPECT_FALSE(std::ifstream(folder_ + "/" + name).good()) << name;
#endif
}

}  // namespace
