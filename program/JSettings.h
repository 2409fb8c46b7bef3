#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Fjarnis2011 {
namespace FJCore {
class JSettingsImp;
}
}  // namespace Fjarnis2011

// The settings store: grouped, array-capable values with "/"-separated keys,
// over one XML file per topic under "configs". A store opened with a path
// always ends up with a document (a fresh one when the file is missing or
// unusable; an unusable file is kept as "<name>.bak"), and every store that
// holds a document writes its file when it is destroyed, unless the text
// would not change. A file is unusable when it does not load, has another
// root, is larger than a settings file may be, or would not read back the
// same once written (bytes that are not UTF-8, for example). Reading never
// adds elements; an array's count never exceeds the items it holds.
class JSettings {
public:
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kFileNotLoaded = 1001;
    static constexpr int32_t kBadRoot = 1005;

    JSettings();
    JSettings(const std::wstring& path, const std::wstring& rootName);
    ~JSettings();
    JSettings(const JSettings&) = delete;
    JSettings& operator=(const JSettings&) = delete;

    int32_t open(const std::wstring& path, const std::wstring& rootName);
    void reset();
    int32_t save();                          // 0 saved, 1 not saved
    int32_t saveAs(const std::wstring& path);
    int32_t status() const;

    // False when the key is refused: a piece that is empty ("a//b") or that
    // cannot be an element name. A refused begin still opens a frame, which
    // holds nothing and is closed by the matching end.
    bool beginGroup(const std::wstring& key);
    bool endGroup();
    int32_t beginReadArray(const std::wstring& key);
    void beginWriteArray(const std::wstring& key, int32_t size);
    int32_t setArrayIndex(int32_t i);
    void endArray();

    bool setValue(const std::wstring& key, const std::wstring& value);
    bool setValue(const std::wstring& key, const wchar_t* value);
    bool setValue(const std::wstring& key, double value);
    bool setValue(const std::wstring& key, int8_t value);
    bool setValue(const std::wstring& key, uint8_t value);
    bool setValue(const std::wstring& key, int16_t value);
    bool setValue(const std::wstring& key, uint16_t value);
    bool setValue(const std::wstring& key, int32_t value);
    bool setValue(const std::wstring& key, uint32_t value);

    // Missing element, empty text or a number that does not fit the type:
    // the default. A text that is not a number reads as 0 (a double: the
    // default).
    void value(const std::wstring& key, std::wstring& result,
               const std::wstring& defaultValue = std::wstring());
    double value(const std::wstring& key, double defaultValue);
    int8_t value(const std::wstring& key, int8_t defaultValue);
    uint8_t value(const std::wstring& key, uint8_t defaultValue);
    int16_t value(const std::wstring& key, int16_t defaultValue);
    uint16_t value(const std::wstring& key, uint16_t defaultValue);
    int32_t value(const std::wstring& key, int32_t defaultValue);
    uint32_t value(const std::wstring& key, uint32_t defaultValue);
    int64_t value(const std::wstring& key, int64_t defaultValue);
    uint64_t value(const std::wstring& key, uint64_t defaultValue);

    bool remove(const std::wstring& key);
    std::vector<std::string> childGroups();  // UTF-8 names
    std::vector<std::string> childKeys();

private:
    bool rawValue(const std::wstring& key, std::string& text);
    // The integer as the 32-bit reader sees it; false means "use the default".
    bool int32Value(const std::wstring& key, int32_t& out);

    std::unique_ptr<Fjarnis2011::FJCore::JSettingsImp> imp_;
};
