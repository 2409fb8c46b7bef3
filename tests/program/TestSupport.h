#pragma once

#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <clocale>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Each test gets its own empty program folder, where "/configs/..." and
// "/log.txt" resolve, and checks that the German locale is in force.
class ProgramFolderTest : public testing::Test {
protected:
    void SetUp() override {
        const char* locale = std::setlocale(LC_ALL, nullptr);
        ASSERT_TRUE(locale && std::strstr(locale, "de_DE")) << "locale is " << (locale ? locale : "(none)");
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path().toStdString();
        platform::SetProgramFolder(folder_);
    }
    void TearDown() override { platform::SetProgramFolder(std::string()); }

    std::string path(const std::string& relative) const { return folder_ + "/" + relative; }
    std::wstring wpath(const std::string& relative) const {
        const std::string p = path(relative);
        return std::wstring(p.begin(), p.end());
    }

    static std::string readFile(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void makeDir(const std::string& relative) const {
        std::error_code ec;
        std::filesystem::create_directories(path(relative), ec);
        ASSERT_FALSE(ec) << ec.message();
    }
    static bool exists(const std::string& p) { return std::ifstream(p).good(); }
    static void writeFile(const std::string& p, const std::string& bytes) {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    QTemporaryDir dir_;
    std::string folder_;
};
