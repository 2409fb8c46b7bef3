#include "program/JSettings.h"
#include "program/JSettingsImp.h"
#include "program/WideText.h"
#include "tests/program/OrdinaryUser.h"
#include "tests/program/TestSupport.h"

#include <tinyxml.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n";

// The file as the XML library's own document printer writes it.
std::string TinyXmlPrint(const std::string& path) {
    TiXmlDocument doc;
    if (!doc.LoadFile(path, TIXML_ENCODING_UTF8)) return "(not loadable)";
    char* buf = nullptr;
    size_t len = 0;
    FILE* f = open_memstream(&buf, &len);
    doc.Print(f, 0);
    std::fclose(f);
    std::string out(buf, len);
    std::free(buf);
    return out;
}

class JSettingsTest : public ProgramFolderTest {
protected:
    std::string file() const { return path("configs/t.brt"); }
    std::wstring wfile() const { return wpath("configs/t.brt"); }
};

TEST_F(JSettingsTest, GermanLocaleWouldPutACommaIntoPrintf) {
    // Proves that the trap the store must avoid is armed in these tests.
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 0.5);
    EXPECT_STREQ(buf, "0,5");
}

TEST_F(JSettingsTest, FreshStoreWithoutWritesLeavesDeclarationAndEmptyRoot) {
    { JSettings s(wfile(), L"connectbauds"); }
    EXPECT_EQ(readFile(file()), kDecl + "<connectbauds />\n");
    EXPECT_FALSE(exists(file() + ".tmp"));
    EXPECT_FALSE(exists(file() + ".bak"));
}

TEST_F(JSettingsTest, OurPrinterWritesWhatTheLibraryPrinterWrites) {
    // Comments, a doctype, attributes with quotes, mixed content, escaped
    // characters and control characters, loaded and written back.
    makeDir("configs");
    const std::string original =
        kDecl + "<!DOCTYPE root>\n<!-- by hand -->\n<root>\n"
                "  <g type=\"group\"><v>a &amp; b &lt;c&gt; \"q\" 'a'</v>\n"
                "  <w q='say \"hi\"' n=\"1\">text</w><mixed>one<b>two</b>three</mixed></g>\n"
                "  <!--inner--><tab>x&#x09;y&#x0A;z</tab><u>gr\xC3\xBC\xC3\x9F""e</u>\n"
                "</root>\n";
    writeFile(file(), original);
    const std::string expected = TinyXmlPrint(file());
    {
        JSettings s(wfile(), L"root");
        ASSERT_EQ(s.status(), 0);
        EXPECT_EQ(s.saveAs(wpath("configs/copy.brt")), 0);
    }
    EXPECT_EQ(readFile(path("configs/copy.brt")), expected);
    // Only read: the file is not rewritten, not even into that layout.
    EXPECT_EQ(readFile(file()), original);
    EXPECT_FALSE(exists(file() + ".bak"));
}

TEST_F(JSettingsTest, TypedValuesRoundTripLocaleFree) {
    const std::wstring text = L"Gr\u00fc\u00dfe <a&b> \"q\" 'x' \u6771\u4eac &#x41; tab\there";
    {
        JSettings s(wfile(), L"values");
        s.setValue(L"i8min", int8_t(-128));
        s.setValue(L"i8max", int8_t(127));
        s.setValue(L"u8", uint8_t(255));
        s.setValue(L"i16", int16_t(-32768));
        s.setValue(L"u16", uint16_t(65535));
        s.setValue(L"i32min", int32_t(INT32_MIN));
        s.setValue(L"i32max", int32_t(INT32_MAX));
        s.setValue(L"u32max", uint32_t(UINT32_MAX));
        s.setValue(L"d1", 456.05);
        s.setValue(L"d2", 430.0);
        s.setValue(L"d3", -0.125);
        s.setValue(L"d0", 0.0);
        s.setValue(L"big", 1e20);
        s.setValue(L"text", text);
    }
    const std::string raw = readFile(file());
    EXPECT_NE(raw.find("<u8>255</u8>"), std::string::npos);
    EXPECT_NE(raw.find("<u16>65535</u16>"), std::string::npos);
    EXPECT_NE(raw.find("<u32max>-1</u32max>"), std::string::npos) << "32-bit values are stored signed";
    // Sixteen decimals show the double nearest to 456.05 as it is.
    EXPECT_NE(raw.find("<d1>456.0500000000000114</d1>"), std::string::npos);
    EXPECT_NE(raw.find("<d2>430.0000000000000000</d2>"), std::string::npos);
    EXPECT_NE(raw.find("<d0>0.0000000000000000</d0>"), std::string::npos);
    EXPECT_NE(raw.find("<d3>-0.1250000000000000</d3>"), std::string::npos);
    EXPECT_NE(raw.find("&lt;a&amp;b&gt; &quot;q&quot; &apos;x&apos;"), std::string::npos);
    EXPECT_NE(raw.find("&amp;#x41;"), std::string::npos);
    EXPECT_EQ(raw.find(','), std::string::npos);

    JSettings s(wfile(), L"values");
    EXPECT_EQ(s.value(L"i8min", int8_t(0)), -128);
    EXPECT_EQ(s.value(L"i8max", int8_t(0)), 127);
    EXPECT_EQ(s.value(L"u8", uint8_t(0)), 255);
    EXPECT_EQ(s.value(L"i16", int16_t(0)), -32768);
    EXPECT_EQ(s.value(L"u16", uint16_t(0)), 65535);
    EXPECT_EQ(s.value(L"i32min", int32_t(0)), INT32_MIN);
    EXPECT_EQ(s.value(L"i32max", int32_t(0)), INT32_MAX);
    EXPECT_EQ(s.value(L"u32max", uint32_t(0)), UINT32_MAX);
    EXPECT_EQ(s.value(L"d1", 0.0), 456.05);
    EXPECT_EQ(s.value(L"d2", 0.0), 430.0);
    EXPECT_EQ(s.value(L"d3", 0.0), -0.125);
    EXPECT_EQ(s.value(L"d0", 1.0), 0.0);
    EXPECT_EQ(s.value(L"big", 0.0), 1e20);
    std::wstring back;
    s.value(L"text", back);
    EXPECT_EQ(back, text);
}

// Values read back as they were written, by this store and by the XML
// library's own reader with its default settings (which folds white space
// and drops a text that is nothing else): a caster password of spaces is a
// password.
TEST_F(JSettingsTest, TextsKeepTheirSpacesAndLineBreaks) {
    const std::wstring texts[] = {L" lead", L"trail ", L"a  b", L"  two  ends  ", L"line\nbreak\r\n",
                                  L"a b c", L"x&#x20;y",
                                  // Nothing but white space.
                                  L" ", L"   ", L"\t", L"\n", L" \t\n\v\f "};
    {
        JSettings s(wfile(), L"t");
        for (size_t i = 0; i < std::size(texts); ++i) s.setValue(L"v" + std::to_wstring(i), texts[i]);
    }
    const std::string raw = readFile(file());
    EXPECT_NE(raw.find("<v5>a b c</v5>"), std::string::npos) << "ordinary spaces stay as they are";
    EXPECT_NE(raw.find("<v2>a &#x20;b</v2>"), std::string::npos);
    TiXmlDocument library;
    ASSERT_TRUE(library.LoadFile(file(), TIXML_ENCODING_UTF8));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "as saved" : "after another save");
        JSettings s(wfile(), L"t");
        for (size_t i = 0; i < std::size(texts); ++i) {
            const std::wstring key = L"v" + std::to_wstring(i);
            std::wstring back;
            s.value(key, back, L"(default)");
            EXPECT_EQ(back, texts[i]) << i;
            const TiXmlElement* e = library.RootElement()->FirstChildElement("v" + std::to_string(i));
            ASSERT_TRUE(e && e->FirstChild() && e->FirstChild()->ToText()) << i;
            EXPECT_EQ(Utf8ToWide(e->FirstChild()->ValueStr()), texts[i]) << i;
            s.setValue(key, texts[i]);
        }
        s.setValue(L"round", int32_t(round));  // the next round reads a file saved again
    }
}

TEST_F(JSettingsTest, IntegerTextsParseLikeTheCLibraryWithOverflowChecks) {
    struct Case {
        const char* text;
        int64_t i32;      // value(.., int32_t(-7))
        uint64_t u32;     // value(.., uint32_t(7))
        int64_t u8;       // value(.., uint8_t(7))
    };
    const Case cases[] = {
        {"42", 42, 42, 42},
        {"  +42", 42, 42, 42},
        {"12abc", 12, 12, 12},
        {"abc", 0, 0, 0},            // not a number: 0
        {"-1", -1, UINT32_MAX, 255},
        {"300", 300, 300, 44},       // narrow readers keep the low bits
        {"2147483647", INT32_MAX, INT32_MAX, 255},
        {"2147483648", -7, 2147483648u, 7},   // beyond int32: the default
        {"4294967295", -7, UINT32_MAX, 7},
        {"4294967296", -7, 7, 7},
        {"-2147483648", INT32_MIN, 2147483648u, 0},
        {"-2147483649", -7, 7, 7},
        {"99999999999999999999999", -7, 7, 7},
    };
    {
        JSettings s(wfile(), L"n");
        for (size_t i = 0; i < std::size(cases); ++i) {
            const std::string t = cases[i].text;
            s.setValue(L"v" + std::to_wstring(i), std::wstring(t.begin(), t.end()));
        }
        s.setValue(L"big64", L"18446744073709551615");
        s.setValue(L"min64", L"-9223372036854775808");
        s.setValue(L"over64", L"9223372036854775808");
        s.setValue(L"dtext", L"abc");
        s.setValue(L"dspace", L" 1.5e3xyz");
    }
    JSettings s(wfile(), L"n");
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::wstring key = L"v" + std::to_wstring(i);
        SCOPED_TRACE(cases[i].text);
        EXPECT_EQ(s.value(key, int32_t(-7)), cases[i].i32);
        EXPECT_EQ(s.value(key, uint32_t(7)), cases[i].u32);
        EXPECT_EQ(s.value(key, uint8_t(7)), cases[i].u8);
    }
    EXPECT_EQ(s.value(L"big64", uint64_t(0)), UINT64_MAX);
    EXPECT_EQ(s.value(L"min64", int64_t(0)), INT64_MIN);
    EXPECT_EQ(s.value(L"over64", int64_t(5)), 5);
    EXPECT_EQ(s.value(L"dtext", 2.5), 2.5);
    EXPECT_EQ(s.value(L"dspace", 0.0), 1500.0);
}

TEST_F(JSettingsTest, EmptyTextAndMissingValueGiveTheDefault) {
    {
        JSettings s(wfile(), L"e");
        s.setValue(L"empty", L"");
    }
    EXPECT_EQ(readFile(file()), kDecl + "<e>\n    <empty></empty>\n</e>\n");
    JSettings s(wfile(), L"e");
    EXPECT_EQ(s.value(L"empty", int32_t(9)), 9);
    std::wstring t;
    s.value(L"empty", t, L"dflt");
    EXPECT_EQ(t, L"dflt");
    s.value(L"missing", t, L"none");
    EXPECT_EQ(t, L"none");
}

TEST_F(JSettingsTest, SlashKeysMakeGroupsAndReadingAMissingKeyLeavesNothing) {
    {
        JSettings s(wfile(), L"k");
        EXPECT_TRUE(s.setValue(L" a / b /c ", int32_t(5)));
        EXPECT_EQ(s.value(L"x/y/missing", int32_t(-1)), -1);
    }
    EXPECT_EQ(readFile(file()), kDecl +
                                    "<k>\n"
                                    "    <a type=\"group\">\n"
                                    "        <b type=\"group\">\n"
                                    "            <c>5</c>\n"
                                    "        </b>\n"
                                    "    </a>\n"
                                    "</k>\n");
    JSettings s(wfile(), L"k");
    EXPECT_TRUE(s.beginGroup(L"a"));
    EXPECT_EQ(s.value(L"b/c", int32_t(0)), 5);
    EXPECT_TRUE(s.endGroup());
}

TEST_F(JSettingsTest, ReadingMissingKeysLeavesTheFileByteForByte) {
    {
        JSettings s(wfile(), L"k");
        s.beginWriteArray(L"list", 2);
        s.setArrayIndex(0);
        s.setValue(L"v", int32_t(1));
        s.setArrayIndex(1);
        s.setValue(L"g/v", int32_t(2));
        s.endArray();
        s.setValue(L"top", L"x");
    }
    const std::string before = readFile(file());
    {
        JSettings s(wfile(), L"k");
        EXPECT_EQ(s.value(L"nothing", int32_t(3)), 3);
        EXPECT_EQ(s.value(L"no/such/path", int32_t(3)), 3);
        s.beginGroup(L"nogroup");
        EXPECT_EQ(s.beginReadArray(L"noarray"), 0);
        s.setArrayIndex(4);
        EXPECT_EQ(s.value(L"v", int32_t(3)), 3);
        s.endArray();
        s.endGroup();
        EXPECT_EQ(s.beginReadArray(L"list"), 2);
        s.setArrayIndex(6);  // an item that does not exist
        EXPECT_EQ(s.value(L"v", int32_t(3)), 3);
        s.setArrayIndex(1);
        EXPECT_EQ(s.value(L"g/v", int32_t(3)), 2);
        s.endArray();
    }
    EXPECT_EQ(readFile(file()), before);
}

TEST_F(JSettingsTest, KeysWithEmptyOrUnreadablePiecesAreRefused) {
    {
        JSettings s(wfile(), L"k");
        for (const wchar_t* bad : {L"a//b", L"", L"/a", L"a/", L"a b", L"1abc", L"a<b", L"a&b"}) {
            SCOPED_TRACE(std::string(bad, bad + wcslen(bad)));
            EXPECT_FALSE(s.setValue(bad, int32_t(1)));
            EXPECT_EQ(s.value(bad, int32_t(-1)), -1);
        }
        // A refused group opens a frame that holds nothing; its end closes it
        // and later keys land where they belong.
        EXPECT_FALSE(s.beginGroup(L"g//h"));
        EXPECT_FALSE(s.setValue(L"inside", int32_t(1)));
        EXPECT_EQ(s.beginReadArray(L"arr"), 0);
        EXPECT_EQ(s.setArrayIndex(0), -1);
        s.endArray();
        EXPECT_TRUE(s.endGroup());
        EXPECT_EQ(s.beginReadArray(L"x//y"), 0);
        s.endArray();
        s.beginWriteArray(L"x//y", 2);
        s.endArray();
        EXPECT_TRUE(s.setValue(L"after", int32_t(2)));
    }
    EXPECT_EQ(readFile(file()), kDecl + "<k>\n    <after>2</after>\n</k>\n");
}

TEST_F(JSettingsTest, GroupArrayAndValueOfOneNameAreDistinct) {
    {
        JSettings s(wfile(), L"k");
        s.setValue(L"x", int32_t(1));
        s.setValue(L"x/inner", int32_t(2));
        s.beginWriteArray(L"x", 1);
        s.setArrayIndex(0);
        s.setValue(L"item", int32_t(3));
        s.endArray();
        s.setValue(L"y", int32_t(4));
        s.setValue(L"g/z", int32_t(5));
        EXPECT_EQ(s.childKeys(), (std::vector<std::string>{"x", "y"}));
        EXPECT_EQ(s.childGroups(), (std::vector<std::string>{"x", "g"}));
    }
    JSettings s(wfile(), L"k");
    EXPECT_EQ(s.value(L"x", int32_t(0)), 1);
    EXPECT_EQ(s.value(L"x/inner", int32_t(0)), 2);
    EXPECT_EQ(s.beginReadArray(L"x"), 1);
    s.setArrayIndex(0);
    EXPECT_EQ(s.value(L"item", int32_t(0)), 3);
    s.endArray();
    EXPECT_TRUE(s.remove(L"x"));  // value, group and array alike
    EXPECT_EQ(s.value(L"x", int32_t(-1)), -1);
    EXPECT_EQ(s.value(L"x/inner", int32_t(-1)), -1);
    EXPECT_EQ(s.value(L"y", int32_t(0)), 4);
    EXPECT_TRUE(s.beginGroup(L"g"));
    EXPECT_TRUE(s.remove(L""));  // everything under the current group
    EXPECT_TRUE(s.endGroup());
    EXPECT_EQ(s.value(L"g/z", int32_t(-1)), -1);
}

TEST_F(JSettingsTest, WriteArrayWithSmallerSizeKeepsLaterItemsButReadersSeeTheSize) {
    {
        JSettings s(wfile(), L"k");
        s.beginWriteArray(L"arr", 5);
        for (int32_t i = 0; i < 5; ++i) {
            s.setArrayIndex(i);
            s.setValue(L"v", i * 10);
        }
        s.endArray();
    }
    {
        JSettings s(wfile(), L"k");
        s.beginWriteArray(L"arr", 3);
        for (int32_t i = 0; i < 3; ++i) {
            s.setArrayIndex(i);
            s.setValue(L"v", i + 100);
        }
        s.endArray();
    }
    const std::string raw = readFile(file());
    EXPECT_NE(raw.find("<arr type=\"array\">\n        <size>3</size>\n        <a1>"), std::string::npos);
    EXPECT_NE(raw.find("<a4>\n            <v>30</v>"), std::string::npos);
    EXPECT_NE(raw.find("<a5>\n            <v>40</v>"), std::string::npos);
    JSettings s(wfile(), L"k");
    ASSERT_EQ(s.beginReadArray(L"arr"), 3);
    s.setArrayIndex(2);
    EXPECT_EQ(s.value(L"v", int32_t(0)), 102);
    s.endArray();
}

TEST_F(JSettingsTest, WriteArrayWithNegativeSizeCountsTheItemsAtTheEnd) {
    {
        JSettings s(wfile(), L"k");
        s.beginWriteArray(L"arr", 7);  // an old size that must go
        s.endArray();
        s.beginWriteArray(L"arr", -1);
        for (int32_t i = 0; i < 3; ++i) {
            s.setArrayIndex(i);
            s.setValue(L"v", i);
        }
        s.endArray();
    }
    EXPECT_EQ(readFile(file()), kDecl +
                                    "<k>\n"
                                    "    <arr type=\"array\">\n"
                                    "        <a1>\n            <v>0</v>\n        </a1>\n"
                                    "        <a2>\n            <v>1</v>\n        </a2>\n"
                                    "        <a3>\n            <v>2</v>\n        </a3>\n"
                                    "        <size>3</size>\n"
                                    "    </arr>\n"
                                    "</k>\n");
}

TEST_F(JSettingsTest, ArrayCountFromTheFileNeverRunsPastItsItems) {
    makeDir("configs");
    const char* sizes[] = {"1000000000", "-4", "junk", "2"};
    const int32_t expected[] = {2, 0, 0, 2};
    for (size_t i = 0; i < std::size(sizes); ++i) {
        SCOPED_TRACE(sizes[i]);
        writeFile(file(), kDecl + "<k><arr type=\"array\"><size>" + sizes[i] +
                              "</size><a1><v>1</v></a1><a2><v>2</v></a2></arr></k>\n");
        JSettings s(wfile(), L"k");
        EXPECT_EQ(s.beginReadArray(L"arr"), expected[i]);
        s.endArray();
    }
}

TEST_F(JSettingsTest, FrameOperationsOnTheRootAloneChangeNothing) {
    {
        JSettings s(wfile(), L"k");
        EXPECT_FALSE(s.endGroup());
        EXPECT_EQ(s.setArrayIndex(0), -1);
        s.endArray();
        EXPECT_TRUE(s.beginGroup(L"g"));
        EXPECT_EQ(s.setArrayIndex(0), -1);  // a group takes no item
        s.endArray();                       // and is not closed by endArray
        s.setValue(L"v", int32_t(1));
        EXPECT_TRUE(s.endGroup());
        s.beginWriteArray(L"arr", 1);
        EXPECT_EQ(s.setArrayIndex(-1), -1);
        EXPECT_EQ(s.setArrayIndex(0), 0);
        s.setValue(L"w", int32_t(2));
        EXPECT_TRUE(s.endGroup());  // true, and the array stays open
        s.setValue(L"still", int32_t(3));
        s.endArray();
    }
    JSettings s(wfile(), L"k");
    EXPECT_EQ(s.value(L"g/v", int32_t(0)), 1);
    EXPECT_EQ(s.beginReadArray(L"arr"), 1);
    s.setArrayIndex(0);
    EXPECT_EQ(s.value(L"w", int32_t(0)), 2);
    EXPECT_EQ(s.value(L"still", int32_t(0)), 3);
    s.endArray();
}

TEST_F(JSettingsTest, SaveOnlyWhenSomethingChangedAndCreateTheFolder) {
    JSettings s;
    EXPECT_EQ(s.open(wfile(), L"k"), JSettings::kFileNotLoaded);
    s.reset();
    EXPECT_EQ(s.status(), 0);
    s.setValue(L"v", int32_t(1));
    EXPECT_EQ(s.save(), 0);  // "configs" did not exist
    EXPECT_EQ(s.save(), 1);  // nothing changed since
    EXPECT_EQ(readFile(file()), kDecl + "<k>\n    <v>1</v>\n</k>\n");
    s.setValue(L"v", int32_t(2));
    EXPECT_EQ(s.saveAs(wpath("other/copy.brt")), 0);
    EXPECT_EQ(readFile(path("other/copy.brt")), kDecl + "<k>\n    <v>2</v>\n</k>\n");
    EXPECT_EQ(readFile(file()), kDecl + "<k>\n    <v>1</v>\n</k>\n");
    EXPECT_FALSE(exists(file() + ".tmp"));
}

TEST_F(JSettingsTest, AFailedSaveReportsOneWithItsReasonAndKeepsTheOldFile) {
    { JSettings s(wfile(), L"k"); }
    const std::string before = readFile(file());
    JSettings s(wfile(), L"k");
    s.setValue(L"v", int32_t(1));
    // A file where the folder would go makes every save below it fail.
    writeFile(path("plain"), "x");
    EXPECT_EQ(s.saveAs(wpath("plain/t.brt")), 1);
    EXPECT_EQ(s.saveError(), ENOTDIR);
    EXPECT_EQ(JSettings::errorText(ENOTDIR), Utf8ToWide(std::strerror(ENOTDIR)));
    EXPECT_EQ(readFile(file()), before);
    // Saved, then nothing left to save: neither is a failure.
    EXPECT_EQ(s.save(), 0);
    EXPECT_EQ(s.saveError(), 0);
    EXPECT_EQ(s.save(), 1);
    EXPECT_EQ(s.saveError(), 0);

    JSettings lost(wpath("plain/t.brt"), L"k");
    lost.setValue(L"v", int32_t(2));
    EXPECT_EQ(lost.save(), 1);
    EXPECT_EQ(lost.saveError(), ENOTDIR);
}

// A save replaces the file with a new one: the new file keeps the old one's
// owner, group and mode, so that a save by root (through sudo) never leaves
// the owner a file he cannot read. A file that cannot be read is refused
// before any of that: a fresh document is never saved over it.
TEST_F(JSettingsTest, ASaveKeepsOwnerGroupAndModeAndNeverReplacesAnUnreadableFile) {
    { JSettings s(wfile(), L"k"); }
    // Not even root follows a link that leads round in a circle: such a
    // file is there but cannot be read.
    const std::string loop = path("configs/loop.brt");
    ASSERT_EQ(::symlink("loop.brt", loop.c_str()), 0);
    JSettings unread;
    EXPECT_EQ(unread.open(wpath("configs/loop.brt"), L"k"), JSettings::kFileNotReadable);
    EXPECT_EQ(unread.readError(), ELOOP);
    unread.reset();
    unread.setValue(L"v", int32_t(2));
    EXPECT_EQ(unread.save(), 1);
    EXPECT_EQ(unread.saveError(), ELOOP);
    struct stat st {};
    ASSERT_EQ(::lstat(loop.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    if (::geteuid() != 0) GTEST_SKIP() << "only root may save a file for another owner";
    constexpr uid_t kOther = 65534;
    ASSERT_EQ(::chown(file().c_str(), kOther, kOther), 0);
    ASSERT_EQ(::chmod(file().c_str(), 0640), 0);
    {
        JSettings s(wfile(), L"k");
        s.setValue(L"v", int32_t(1));
        ASSERT_EQ(s.save(), 0);
    }
    ASSERT_EQ(::stat(file().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kOther);
    EXPECT_EQ(st.st_gid, gid_t(kOther));
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_NE(readFile(file()).find("<v>1</v>"), std::string::npos);
}

// In a folder two users may write, one may read the other's file but not
// write it: his save is refused with the reason, and the file (reached
// directly or through a link) stays as it was, bytes, owner and mode,
// with nothing left beside it.
TEST_F(JSettingsTest, ASaveNeverReplacesAFileItsUserMayNotWrite) {
    makeDir("configs");
    {
        JSettings s(wfile(), L"k");
        s.setValue(L"v", int32_t(1));
    }
    ASSERT_EQ(::symlink("t.brt", path("configs/link.brt").c_str()), 0);
    ASSERT_EQ(::chmod(file().c_str(), 0644), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(path("configs").c_str(), 0777), 0);
    const std::string before = readFile(file());
    struct stat was {};
    ASSERT_EQ(::stat(file().c_str(), &was), 0);
    if (::geteuid() != 0) {
        // Not root: the file is this user's, and not writable even by him.
        ASSERT_EQ(::chmod(file().c_str(), 0444), 0);
        ASSERT_EQ(::stat(file().c_str(), &was), 0);
    }

    const std::string got = ordinaryuser::Run([&] {
        std::string out;
        for (const char* name : {"configs/t.brt", "configs/link.brt"}) {
            JSettings s(wpath(name), L"k");
            s.setValue(L"v", int32_t(2));
            const int32_t saved = s.save();
            out += std::to_string(saved) + " " + std::to_string(s.saveError()) + " ";
            s.setReadOnly(true);  // the store's end would only try again
        }
        return out;
    });
    if (ordinaryuser::CannotRun(got)) GTEST_SKIP() << got;
    const std::string refused = "1 " + std::to_string(EACCES) + " ";
    EXPECT_EQ(got, refused + refused);
    EXPECT_EQ(readFile(file()), before);
    struct stat now {};
    ASSERT_EQ(::stat(file().c_str(), &now), 0);
    EXPECT_EQ(now.st_ino, was.st_ino);
    EXPECT_EQ(now.st_uid, was.st_uid);
    EXPECT_EQ(now.st_gid, was.st_gid);
    EXPECT_EQ(now.st_mode, was.st_mode);
    ASSERT_EQ(::lstat(path("configs/link.brt").c_str(), &now), 0);
    EXPECT_TRUE(S_ISLNK(now.st_mode));
    std::vector<std::string> beside;
    for (const auto& e : std::filesystem::directory_iterator(path("configs")))
        beside.push_back(e.path().filename().string());
    std::sort(beside.begin(), beside.end());
    EXPECT_EQ(beside, (std::vector<std::string>{"link.brt", "t.brt"})) << "no temporary file, no .bak";
}

// A hand-edited array may miss items: every item that is there up to the
// array's "size" is walked, in order, and nothing past the size; the walk
// costs what the file holds, whatever the size claims.
TEST_F(JSettingsTest, AnArrayIsWalkedOverTheItemsItHoldsUpToItsSize) {
    makeDir("configs");
    struct Case {
        const char* name;
        std::string array;  // what <arr type="array"> holds
        std::vector<int32_t> walk;
    };
    const Case cases[] = {
        {"a hole", "<size>5</size><a1/><a2>x</a2><a4><v>4</v></a4><a5><v>5</v></a5>", {0, 1, 3, 4}},
        {"items out of order", "<a3><v>3</v></a3><size>3</size><a1><v>1</v></a1>", {0, 2}},
        {"items past the size", "<size>2</size><a1/><a2/><a3/><a9/>", {0, 1}},
        {"a size far beyond the items", "<size>1000000000</size><a1/><a7/>", {0, 6}},
        {"the largest item number", "<size>2147483647</size><a2147483647/>", {2147483646}},
        {"names that are no items", "<size>9</size><a0/><a01/><ab/><b1/><a2/>", {1}},
        {"no size", "<a1/><a2/>", {}},
        {"a size that is no number", "<size>many</size><a1/>", {}},
        {"a negative size", "<size>-3</size><a1/>", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string original = kDecl + "<k><g type=\"group\"><arr type=\"array\">" + c.array +
                                     "</arr></g></k>\n";
        writeFile(file(), original);
        {
            JSettings s(wfile(), L"k");
            s.beginGroup(L"g");
            EXPECT_EQ(s.beginReadArray(L"arr"), int32_t(c.walk.size()));
            EXPECT_EQ(s.arrayIndexes(), c.walk);
            if (c.walk.size() > 2) {
                s.setArrayIndex(c.walk.back());
                EXPECT_EQ(s.value(L"v", int32_t(0)), c.walk.back() + 1);
            }
            s.endArray();
            EXPECT_TRUE(s.arrayIndexes().empty()) << "a group is no array";
            s.endGroup();
        }
        // Read only: the file stays as it was, empty items included.
        EXPECT_EQ(readFile(file()), original);
    }
}

// Elements the file holds without content (an empty item "<a2></a2>", an
// empty group) are the file's own: a store that reads leaves them, and so
// the file, as they are; one that writes elsewhere keeps them too. Only what
// a store itself left empty goes.
TEST_F(JSettingsTest, EmptyElementsOfTheFileStayButThoseLeftEmptyByAWriteGo) {
    makeDir("configs");
    const std::string original = kDecl +
                                 "<k>\n"
                                 "    <arr type=\"array\">\n"
                                 "        <size>3</size>\n"
                                 "        <a1>\n            <v>1</v>\n        </a1>\n"
                                 "        <a2></a2>\n"
                                 "        <a3>\n            <v>3</v>\n        </a3>\n"
                                 "    </arr>\n"
                                 "    <g type=\"group\" />\n"
                                 "</k>\n";
    writeFile(file(), original);
    for (int read = 0; read < 2; ++read) {
        JSettings s(wfile(), L"k");
        EXPECT_EQ(s.beginReadArray(L"arr"), 3);
        EXPECT_EQ(s.arrayIndexes(), (std::vector<int32_t>{0, 1, 2}));
        s.setArrayIndex(1);
        EXPECT_EQ(s.value(L"v", int32_t(-1)), -1);
        s.endArray();
        EXPECT_TRUE(s.beginGroup(L"g"));
        EXPECT_TRUE(s.endGroup());
    }
    EXPECT_EQ(readFile(file()), original);
    {
        JSettings s(wfile(), L"k");
        s.beginReadArray(L"arr");
        s.setArrayIndex(0);
        s.setValue(L"v", int32_t(10));
        s.endArray();
        // Emptied by this store: a group written into, then cleared.
        s.setValue(L"h/x", int32_t(1));
        s.beginGroup(L"h");
        s.remove(L"x");
        s.endGroup();
    }
    const std::string saved = readFile(file());
    EXPECT_NE(saved.find("<v>10</v>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<a2 />"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<g type=\"group\" />"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("<h "), std::string::npos) << saved;
}

// Missing, garbage and foreign-root files, opened with and without a path.
TEST_F(JSettingsTest, UnusableFilesAreKeptAsBakBeforeAFreshDocumentReplacesThem) {
    makeDir("configs");
    struct Case {
        const char* name;
        bool present;
        std::string bytes;
        int32_t status;
    };
    const Case cases[] = {
        {"missing", false, "", JSettings::kFileNotLoaded},
        {"garbage", true, std::string("\x01\x02not xml <<<", 14), JSettings::kFileNotLoaded},
        {"unclosed", true, kDecl + "<k><v>1</v>", JSettings::kFileNotLoaded},
        {"foreign root", true, kDecl + "<other>\n    <v>1</v>\n</other>\n", JSettings::kBadRoot},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool withPath : {true, false}) {
            SCOPED_TRACE(withPath ? "path constructor" : "open");
            std::remove(file().c_str());
            std::remove((file() + ".bak").c_str());
            if (c.present) writeFile(file(), c.bytes);

            if (withPath) {
                JSettings s(wfile(), L"k");
                EXPECT_EQ(s.status(), 0);
                s.setValue(L"v", int32_t(2));
            } else {
                {
                    JSettings probe;  // opened, failed, not reset: writes nothing
                    EXPECT_EQ(probe.open(wfile(), L"k"), c.status);
                    EXPECT_EQ(probe.status(), c.status);
                    EXPECT_FALSE(probe.setValue(L"v", int32_t(9)));
                }
                EXPECT_EQ(exists(file()), c.present);
                if (c.present) {
                    EXPECT_EQ(readFile(file()), c.bytes);
                }
                EXPECT_FALSE(exists(file() + ".bak"));
                JSettings s;
                EXPECT_EQ(s.open(wfile(), L"k"), c.status);
                s.reset();
                s.setValue(L"v", int32_t(2));
            }
            EXPECT_EQ(readFile(file()), kDecl + "<k>\n    <v>2</v>\n</k>\n");
            EXPECT_EQ(exists(file() + ".bak"), c.present);
            if (c.present) {
                EXPECT_EQ(readFile(file() + ".bak"), c.bytes);
            }
        }
    }
}

TEST_F(JSettingsTest, AFileThatLoadsIsNotBackedUp) {
    { JSettings s(wfile(), L"k"); }
    { JSettings s(wfile(), L"k"); s.setValue(L"v", int32_t(1)); }
    EXPECT_FALSE(exists(file() + ".bak"));
}

// The program's own text loads as it is; a file with other line ends or
// laid out by hand is loaded, printed and loaded once more before it is
// taken. Either way the same document comes out, a read leaves the file as
// it was, and the first change writes the program's own text.
TEST_F(JSettingsTest, AFileLoadsTheSameWhateverItsLayoutAndLineEnds) {
    makeDir("configs");
    const std::string own = kDecl +
                            "<k>\n    <v>1</v>\n    <g type=\"group\">\n        <w>a &amp; b</w>\n    </g>\n</k>\n";
    auto replaced = [&](const std::string& with) {
        std::string out;
        for (const char c : own) out += c == '\n' ? with : std::string(1, c);
        return out;
    };
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"the program's own text", own},
        {"CR LF", replaced("\r\n")},
        {"CR alone", replaced("\r")},
        {"by hand, on one line", "<?xml version=\"1.0\"?><k><v>1</v><g type=\"group\"><w>a &#38; b</w></g></k>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(file(), c.bytes);
        {
            JSettings s;
            ASSERT_EQ(s.open(wfile(), L"k"), JSettings::kOk);
            EXPECT_EQ(s.value(L"v", int32_t(0)), 1);
            std::wstring text;
            s.value(L"g/w", text);
            EXPECT_EQ(text, L"a & b");
        }
        EXPECT_EQ(readFile(file()), c.bytes);
        {
            JSettings s(wfile(), L"k");
            s.setValue(L"v", int32_t(2));
        }
        std::string changed = own;
        changed.replace(changed.find("<v>1</v>"), 8, "<v>2</v>");
        EXPECT_EQ(readFile(file()), changed);
        EXPECT_FALSE(exists(file() + ".bak"));
    }
}

TEST_F(JSettingsTest, SplitKeyKeepsEmptyPiecesAndTrims) {
    using Fjarnis2011::FJCore::JSettingsImp;
    std::vector<std::string> pieces;
    EXPECT_TRUE(JSettingsImp::splitKey("\ta / b\r\n/c ", pieces));
    EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FALSE(JSettingsImp::splitKey("a//b", pieces));
    EXPECT_EQ(pieces, (std::vector<std::string>{"a", "", "b"}));
    EXPECT_FALSE(JSettingsImp::splitKey("", pieces));
    EXPECT_EQ(pieces, (std::vector<std::string>{""}));
    EXPECT_TRUE(JSettingsImp::splitKey("_x.y-z:1/\xC3\xA4", pieces));
}

}  // namespace
