// libFuzzer target: the settings store over arbitrary file bytes. The input
// becomes one of the program's settings files; the store loads it and reads
// every key the program reads from that file, the way its readers do (groups,
// arrays walked over the items they hold, texts and numbers of every width).
// A file the store refuses must leave a fresh document behind that loads. A
// file it takes is read twice, with the same values both times, and left
// byte for byte as it was (a read changes nothing); then it is saved under
// another name and loaded from there, and that reading must give the same
// values; saving that copy again must give the same bytes.
//
// Input: byte 0 picks the file (modulo the table below); the rest are the
// file's bytes. corpus/settings/ holds the program's default files.

#include "program/JSettings.h"
#include "program/JSettingsImp.h"

#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace settings_fuzz {

// Names the failed check before stopping, so a finding says what broke.
void Check(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_settings: check at line %d failed\n", line);
    __builtin_trap();
}
#define CHECK(x) Check((x), __LINE__)

struct Key {
    enum Kind { Value, Group, Array } kind;
    const wchar_t* name;
    std::vector<Key> inside;
};

Key V(const wchar_t* n) { return {Key::Value, n, {}}; }
Key G(const wchar_t* n, std::vector<Key> k) { return {Key::Group, n, std::move(k)}; }
Key A(const wchar_t* n, std::vector<Key> k) { return {Key::Array, n, std::move(k)}; }

struct File {
    const char* name;
    const wchar_t* root;
    std::vector<Key> keys;
};

// The program's files and the keys its readers and stores read from them.
const std::vector<File>& Files() {
    static const std::vector<File> files = {
        {"connectbauds.brt", L"connectbauds",
         {A(L"bauds", {V(L"baud")}), A(L"ports", {V(L"port")}),
          A(L"devices", {V(L"device"), V(L"data"), V(L"supported")})}},
        {"connectmethods.brt", L"connectmethods", {A(L"methods", {V(L"support"), V(L"name"), V(L"method")})}},
        {"connectionparams.brt", L"connectionparams",
         {G(L"connection", {V(L"type"), V(L"port"), V(L"baud"), V(L"automethod"), V(L"device"), V(L"address"),
                            V(L"manufacture"), V(L"needauto")})}},
        {"satelbaudrate.brt", L"baudrate",
         {A(L"steparray", {V(L"step"), A(L"protocolarray", {V(L"protocol"), V(L"baud")})})}},
        {"validcheck.brt", L"validcheck",
         {G(L"lengthcheck", {V(L"server/name"), V(L"server/baseid"), V(L"apn/user"), V(L"apn/password"),
                             V(L"apn/total"), V(L"cors/user"), V(L"cors/password"), V(L"cors/source"),
                             V(L"cors/total")})}},
        {"btbindings.brt", L"btbindings", {G(L"btbind", {A(L"devices", {V(L"address"), V(L"name")})})}},
        {"config.brt", L"global",
         {G(L"Language", {V(L"CurrentType"), A(L"Array", {V(L"Type"), V(L"Name"), V(L"File")})})}},
        {"netserver.brt", L"netserver",
         {G(L"common",
            {A(L"servers", {V(L"key"), G(L"server", {V(L"name"), V(L"address"), V(L"protocol"), V(L"port"),
                                                     V(L"user"), V(L"password"),
                                                     A(L"sources", {V(L"source")})})})})}},
        {"radiochannels.brt", L"radio", {A(L"channel", {V(L"number"), V(L"high"), V(L"middle"), V(L"low")})}},
        {"antennatype.brt", L"antennatype", {A(L"antenna", {V(L"type"), V(L"data")})}},
    };
    return files;
}

// Every value as each reader type sees it, and each array's count.
void Read(JSettings& s, const std::vector<Key>& keys, std::vector<std::wstring>& out) {
    for (const Key& k : keys) {
        switch (k.kind) {
        case Key::Value: {
            std::wstring text;
            s.value(k.name, text, L"(none)");
            out.push_back(text);
            out.push_back(std::to_wstring(s.value(k.name, int32_t(-7))));
            out.push_back(std::to_wstring(s.value(k.name, uint64_t(7))));
            out.push_back(std::to_wstring(s.value(k.name, int8_t(-7))));
            out.push_back(std::to_wstring(s.value(k.name, uint16_t(7))));
            const double d = s.value(k.name, -7.5);
            out.push_back(d == d ? std::to_wstring(d) : L"nan");
            break;
        }
        case Key::Group:
            s.beginGroup(k.name);
            Read(s, k.inside, out);
            s.endGroup();
            break;
        case Key::Array: {
            const int32_t n = s.beginReadArray(k.name);
            out.push_back(L"#" + std::to_wstring(n));
            const std::vector<int32_t> items = s.arrayIndexes();
            CHECK(items.size() == size_t(n));
            for (const int32_t i : items) {
                out.push_back(L"@" + std::to_wstring(i));
                s.setArrayIndex(i);
                Read(s, k.inside, out);
            }
            s.endArray();
            break;
        }
        }
    }
}

// A folder of this process's own, removed at exit (kept on the heap so that
// it outlives the other static objects).
const std::string& Folder() {
    static const std::string* folder = [] {
        // In memory where there is such a folder: every save syncs its file.
        char shm[] = "/dev/shm/fuzz_settings.XXXXXX";
        char tmp[] = "/tmp/fuzz_settings.XXXXXX";
        const char* made = ::mkdtemp(shm);
        if (!made) made = ::mkdtemp(tmp);
        CHECK(made != nullptr);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(Folder(), ec);
        });
        return new std::string(made);
    }();
    return *folder;
}

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int RunSettings(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const File& f = Files()[data[0] % Files().size()];
    const std::string path = Folder() + "/" + f.name;
    const std::string copy = path + ".copy";
    const std::string again = path + ".again";
    for (const std::string& p : {path, copy, again, path + ".bak"}) ::unlink(p.c_str());
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), std::streamsize(size - 1));
    }

    JSettings probe;
    const bool usable = probe.open(Wide(path), f.root) == JSettings::kOk;
    if (!usable) {
        // Refused: the path constructor starts afresh, keeps the file as
        // ".bak", and what it writes loads.
        {
            JSettings s(Wide(path), f.root);
            CHECK(s.status() == JSettings::kOk);
            std::vector<std::wstring> values;
            Read(s, f.keys, values);
        }
        JSettings reopened;
        CHECK(reopened.open(Wide(path), f.root) == JSettings::kOk);
        return 0;
    }

    std::vector<std::wstring> first;
    {
        JSettings s(Wide(path), f.root);
        Read(s, f.keys, first);
        std::vector<std::wstring> repeated;
        Read(s, f.keys, repeated);
        CHECK(repeated == first);
    }
    CHECK(Bytes(path) == std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    {
        JSettings s(Wide(path), f.root);
        // A document whose text is larger than a settings file may be is
        // refused by the save; nothing more to compare then.
        if (s.saveAs(Wide(copy)) != 0) return 0;
    }
    // Compare with the copy as the first store saved it.
    const std::string saved = Bytes(copy);
    std::vector<std::wstring> second;
    {
        JSettings s;
        CHECK(s.open(Wide(copy), f.root) == JSettings::kOk);
        CHECK(s.saveAs(Wide(again)) == 0);
        Read(s, f.keys, second);
    }
    CHECK(first == second);
    CHECK(saved == Bytes(again));
    return 0;
}

}  // namespace settings_fuzz

#ifndef SETTINGS_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return settings_fuzz::RunSettings(data, size);
}
#endif
