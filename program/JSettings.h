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
// adds or removes elements, so a store that only reads leaves its file as it
// was; an array is walked over the items it holds (arrayIndexes), never
// over the size its file claims. Values read back as they were written,
// white space included. A file that exists but cannot be read (another
// user's, a failing disk) is neither kept as ".bak" nor ever written over:
// the store holds a fresh document, and refuses to save it there.
class JSettings {
public:
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kFileNotLoaded = 1001;
    // The file exists but could not be read (readError says why).
    static constexpr int32_t kFileNotReadable = 1002;
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
    // Why the last save or saveAs did not write its file: the system's error
    // number (errno); 0 when it wrote or had nothing to write. A result of 1
    // from save() with saveError() 0 only means nothing had changed.
    int32_t saveError() const;
    // The system's text for an error number of saveError().
    static std::wstring errorText(int32_t error);
    // For a file that holds secrets: it is created, and kept on every save,
    // readable and writable by its owner only (an older file readable by
    // others is narrowed when it is opened). Set before open; holds after.
    void setOwnerOnly(bool ownerOnly);
    // The system's error number when the last open found a file that exists
    // but could not be read (status kFileNotReadable); 0 otherwise. A file
    // this store could not read is never replaced from it: every save to
    // its path is refused, with this number as saveError, even after reset.
    int32_t readError() const;
    // A read-only store never writes its file (save gives 1, saveError 0):
    // a reader that holds defaults in memory uses one. Set before open.
    void setReadOnly(bool readOnly);

    // False when the key is refused: a piece that is empty ("a//b") or that
    // cannot be an element name. A refused begin still opens a frame, which
    // holds nothing and is closed by the matching end.
    bool beginGroup(const std::wstring& key);
    bool endGroup();
    // The number of items the array holds up to its "size" (a missing item
    // is not counted).
    int32_t beginReadArray(const std::wstring& key);
    // The items to walk after beginReadArray: the index of every item the
    // innermost array holds up to its "size", ascending, as setArrayIndex
    // takes it. Items missing in between are left out, so a file whose
    // "size" claims far more items than it holds costs only what it holds.
    std::vector<int32_t> arrayIndexes();
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
