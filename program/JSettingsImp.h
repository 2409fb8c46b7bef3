#pragma once

#include <tinyxml.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace Fjarnis2011 {
namespace FJCore {

// One open group or array of a settings document (the root has one too).
// A frame opened on a key that the document does not hold yet is not created
// there until something is written into it: reading never adds elements.
struct SettingsFrame {
    TiXmlElement* element = nullptr;  // not owned; null while not in the document (or refused)
    bool refused = false;             // the key (or an enclosing one) was refused: holds nothing
    int32_t index = -1;               // -1 group; array: 0 until an item is chosen, then 1-based
    int32_t highest = -1;             // -1 not tracked; else highest item number chosen so far
    std::vector<std::string> path;    // the key pieces this frame opened
    std::string itemName;             // "a<index>" once an item is chosen
    // While element is null: how many leading pieces of path exist already,
    // and the element of the last of them (null when none does: the
    // enclosing frame's base is where the path starts).
    size_t existing = 0;
    TiXmlElement* anchor = nullptr;
    // An array's items by number (the first element of each name "a<n>"),
    // gathered once, so that walking a large array costs one pass.
    std::unordered_map<int32_t, TiXmlElement*> items;
    bool itemsKnown = false;

    bool isArray() const { return index != -1; }
};

// The XML document behind JSettings. Keys, values and names are UTF-8 here;
// the facade converts from and to wide text and encodes the numbers.
class JSettingsImp {
public:
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kFileNotLoaded = 1001;
    static constexpr int32_t kFileNotReadable = 1002;
    static constexpr int32_t kBadRoot = 1005;

    JSettingsImp();
    virtual ~JSettingsImp();
    JSettingsImp(const JSettingsImp&) = delete;
    JSettingsImp& operator=(const JSettingsImp&) = delete;

    int32_t open(const std::string& path, const std::string& rootName);
    void reset();
    // What the facade's destructor does: close the innermost frame and save.
    void finish();
    int32_t save();
    int32_t saveAs(const std::string& path);
    int32_t status() const { return status_; }
    // The system's error number of the last save or saveAs that could not
    // write its file (EFBIG for a document larger than a settings file may
    // be); 0 when it wrote, or had nothing to write.
    int32_t saveError() const { return saveError_; }
    // The file holds secrets: it is created, and kept on every save, readable
    // and writable by its owner only. Holds across open and reset.
    void setOwnerOnly(bool ownerOnly) { ownerOnly_ = ownerOnly; }
    // The system's error number when the last open found a file it could
    // not read (status kFileNotReadable); 0 otherwise. Such a store refuses
    // every save to that path, a fresh document after reset included, so
    // that a file it never saw is not replaced.
    int32_t readError() const { return readError_; }
    // A store that never writes its file: a reader holding defaults in
    // memory. Holds across open and reset.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool isClean() const { return clean_; }

    bool beginGroup(const std::string& key);
    bool endGroup();
    // The number of items the array holds up to its "size"; a missing item
    // is not counted, so the result is no bound for a walk: arrayIndexes()
    // gives the items to visit.
    int32_t beginReadArray(const std::string& key);
    // The indexes (as setArrayIndex takes them, from 0) of the items that the
    // innermost array holds up to its "size", in order; empty when the
    // innermost frame is no array.
    std::vector<int32_t> arrayIndexes();
    void beginWriteArray(const std::string& key, int32_t size);
    int32_t setArrayIndex(int32_t i);
    void endArray();

    // False when the key is refused (an empty piece, or a piece that cannot
    // be an element name) or no document is open.
    bool setValue(const std::string& key, const std::string& value);
    // True with the text when the value element exists and holds a text that
    // is not empty; false otherwise (the caller then uses its default).
    bool value(const std::string& key, std::string& result);
    bool remove(const std::string& key);
    std::vector<std::string> childGroups();
    std::vector<std::string> childKeys();

    // The document as it is written to its file.
    std::string print() const;

    // The largest settings file read or written: a settings file is a small
    // list of choices, anything far larger is not one of ours. A document
    // whose text would be larger is not saved, so that the program never
    // writes a file it would refuse to read back.
    static constexpr size_t kLargestFile = 16 * 1024 * 1024;

    // Splits a key at "/" and trims every piece; false when a piece is empty
    // or is not a name the document can be read back with.
    static bool splitKey(const std::string& key, std::vector<std::string>& pieces);

private:
    bool hasFrames() const { return !frames_.empty(); }
    // The element of frame k, created (with what is missing of its path)
    // when `create` is set; null for a refused frame, or one that is not in
    // the document and is not to be created.
    TiXmlElement* frameElement(size_t k, bool create);
    // Where frame k's keys live: its element, or the chosen item in it.
    TiXmlElement* baseElement(size_t k, bool create);
    TiXmlElement* innermostBase(bool create) { return baseElement(frames_.size() - 1, create); }
    void gatherItems(SettingsFrame& frame);
    // The "size" an array element holds; 0 when missing or not a number.
    static int32_t declaredSize(const SettingsFrame& frame);
    TiXmlElement* findItem(SettingsFrame& frame);
    // Children were added to or removed from `parent`: an array frame on it
    // gathers its items again.
    void childrenChanged(const TiXmlElement* parent);
    void push(const std::vector<std::string>& pieces, size_t count, bool array);
    void pushDead(bool array);
    void prune(const SettingsFrame& frame);
    void writeValueAt(TiXmlElement* parent, const std::string& name, const std::string& text);
    int32_t writeFile(const std::string& path, const std::string& text, bool backupOld);

    std::string path_;
    std::string rootName_;
    TiXmlDocument doc_;
    std::vector<SettingsFrame> frames_;
    int32_t status_ = kOk;
    bool clean_ = true;
    // The file at path_ exists but could not be used; it is kept as
    // "<path>.bak" before a fresh document is written over it.
    bool backupPending_ = false;
    // The document's text as it was loaded or last saved to path_: a save of
    // the same text writes nothing, so a reader never rewrites its file, nor
    // writes back an older state over another program's save.
    std::string savedText_;
    bool savedKnown_ = false;
    int32_t saveError_ = 0;
    int32_t readError_ = 0;
    bool ownerOnly_ = false;
    bool readOnly_ = false;
};

}  // namespace FJCore
}  // namespace Fjarnis2011
