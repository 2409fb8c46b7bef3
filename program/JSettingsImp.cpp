#include "program/JSettingsImp.h"

#include "program/SettingsText.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace Fjarnis2011 {
namespace FJCore {

namespace {

const char* const kType = "type";
const char* const kGroup = "group";
const char* const kArray = "array";
const char* const kSize = "size";

// A settings file is a small list of choices; anything far larger is not one
// of ours and is not loaded into memory.
constexpr off_t kLargestFile = 16 * 1024 * 1024;

bool IsTrimmed(char c) { return c == '\t' || c == ' ' || c == '\r' || c == '\n'; }

bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// An element name that the XML reader accepts back: a letter, an underscore
// or a non-ASCII byte first, then also digits, '-', '.' and ':'.
bool IsReadableName(const std::string& name) {
    if (name.empty()) return false;
    const unsigned char first = static_cast<unsigned char>(name[0]);
    if (!(IsAsciiLetter(first) || first == '_' || first >= 127)) return false;
    for (size_t i = 1; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const bool ok = IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
                        c == '.' || c == ':' || c >= 127;
        if (!ok) return false;
    }
    return true;
}

bool HasType(const TiXmlElement* e, const char* type) {
    const char* t = e->Attribute(kType);
    return t && std::strcmp(t, type) == 0;
}

bool HasNoType(const TiXmlElement* e) { return e->Attribute(kType) == nullptr; }

TiXmlElement* FindTyped(TiXmlElement* parent, const std::string& name, const char* type) {
    for (TiXmlElement* e = parent->FirstChildElement(name); e; e = e->NextSiblingElement(name))
        if (HasType(e, type)) return e;
    return nullptr;
}

TiXmlElement* FindValue(TiXmlElement* parent, const std::string& name) {
    for (TiXmlElement* e = parent->FirstChildElement(name); e; e = e->NextSiblingElement(name))
        if (HasNoType(e)) return e;
    return nullptr;
}

TiXmlElement* AppendElement(TiXmlElement* parent, const std::string& name, const char* type) {
    auto* e = new TiXmlElement(name);
    if (type) e->SetAttribute(kType, type);
    parent->LinkEndChild(e);
    return e;
}

// The highest item number "a<n>" present under an array element.
int32_t HighestItemPresent(const TiXmlElement* array) {
    int32_t highest = 0;
    for (const TiXmlElement* e = array->FirstChildElement(); e; e = e->NextSiblingElement()) {
        const std::string& name = e->ValueStr();
        if (name.size() < 2 || name[0] != 'a' || name[1] == '0') continue;
        int32_t n = 0;
        if (!ParseDecimalDigits(std::string_view(name).substr(1), n)) continue;
        if (n > highest) highest = n;
    }
    return highest;
}

// Text escaping as the XML printer does it, except that an ampersand is always
// escaped: the printer would pass "&#x..." through unchanged, and such a text
// would read back as another text. In a text node, a space that the reader
// would fold away (at either end, or after another space) is written as a
// character reference, so "a  b" and " a " read back as they were written.
void EncodeText(const std::string& in, std::string& out, bool keepSpaces = false) {
    for (size_t i = 0; i < in.size(); ++i) {
        const char ch = in[i];
        const unsigned char c = static_cast<unsigned char>(ch);
        if (keepSpaces && c == ' ' && (i == 0 || i + 1 == in.size() || in[i - 1] == ' ')) {
            out += "&#x20;";
            continue;
        }
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                if (c < 32) {
                    static const char hex[] = "0123456789ABCDEF";
                    out += "&#x";
                    out += hex[c >> 4];
                    out += hex[c & 15];
                    out += ';';
                } else {
                    out += ch;
                }
        }
    }
}

void Indent(int depth, std::string& out) {
    for (int i = 0; i < depth; ++i) out += "    ";
}

// The layout of the XML library's document printer: one node per line,
// four spaces per level, an element holding one text on one line.
void PrintNode(const TiXmlNode* node, int depth, std::string& out) {
    if (const TiXmlElement* e = node->ToElement()) {
        Indent(depth, out);
        out += '<';
        out += e->ValueStr();
        for (const TiXmlAttribute* a = e->FirstAttribute(); a; a = a->Next()) {
            out += ' ';
            EncodeText(a->NameTStr(), out);
            const bool hasQuote = a->ValueStr().find('"') != std::string::npos;
            out += hasQuote ? "='" : "=\"";
            EncodeText(a->ValueStr(), out);
            out += hasQuote ? '\'' : '"';
        }
        const TiXmlNode* first = e->FirstChild();
        if (!first) {
            out += " />";
        } else if (first == e->LastChild() && first->ToText()) {
            out += '>';
            PrintNode(first, depth + 1, out);
            out += "</" + e->ValueStr() + ">";
        } else {
            out += '>';
            for (const TiXmlNode* c = first; c; c = c->NextSibling()) {
                if (!c->ToText()) out += '\n';
                PrintNode(c, depth + 1, out);
            }
            out += '\n';
            Indent(depth, out);
            out += "</" + e->ValueStr() + ">";
        }
    } else if (const TiXmlText* t = node->ToText()) {
        if (t->CDATA()) {
            out += '\n';
            Indent(depth, out);
            out += "<![CDATA[" + t->ValueStr() + "]]>\n";
        } else {
            EncodeText(t->ValueStr(), out, true);
        }
    } else if (const TiXmlDeclaration* d = node->ToDeclaration()) {
        out += "<?xml ";
        if (*d->Version()) out += std::string("version=\"") + d->Version() + "\" ";
        if (*d->Encoding()) out += std::string("encoding=\"") + d->Encoding() + "\" ";
        if (*d->Standalone()) out += std::string("standalone=\"") + d->Standalone() + "\" ";
        out += "?>";
    } else if (const TiXmlComment* c = node->ToComment()) {
        Indent(depth, out);
        out += "<!--" + c->ValueStr() + "-->";
    } else if (const TiXmlUnknown* u = node->ToUnknown()) {
        Indent(depth, out);
        out += "<" + u->ValueStr() + ">";
    }
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

JSettingsImp::JSettingsImp() = default;

JSettingsImp::~JSettingsImp() = default;

bool JSettingsImp::splitKey(const std::string& key, std::vector<std::string>& pieces) {
    pieces.clear();
    size_t start = 0;
    while (true) {
        const size_t slash = key.find('/', start);
        std::string piece = key.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        size_t b = 0, e = piece.size();
        while (b < e && IsTrimmed(piece[b])) ++b;
        while (e > b && IsTrimmed(piece[e - 1])) --e;
        pieces.push_back(piece.substr(b, e - b));
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    for (const std::string& p : pieces)
        if (!IsReadableName(p)) return false;
    return true;
}

int32_t JSettingsImp::open(const std::string& path, const std::string& rootName) {
    frames_.clear();
    path_ = path;
    rootName_ = rootName;
    backupPending_ = false;
    doc_.Clear();
    // Until a document is loaded there is nothing of the user's to save.
    clean_ = true;

    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (!exists || !S_ISREG(st.st_mode) || st.st_size > kLargestFile ||
        !doc_.LoadFile(path, TIXML_ENCODING_UTF8)) {
        status_ = kFileNotLoaded;
        backupPending_ = exists && S_ISREG(st.st_mode);
        doc_.Clear();
        return status_;
    }
    TiXmlElement* root = doc_.RootElement();
    if (!root || root->ValueStr() != rootName) {
        status_ = kBadRoot;
        backupPending_ = true;
        doc_.Clear();
        return status_;
    }
    SettingsFrame frame;
    frame.element = root;
    frame.path.push_back(rootName);
    frames_.push_back(std::move(frame));
    clean_ = false;
    status_ = kOk;
    return status_;
}

void JSettingsImp::reset() {
    frames_.clear();
    doc_.Clear();
    doc_.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", "yes"));
    auto* root = new TiXmlElement(rootName_);
    doc_.LinkEndChild(root);
    SettingsFrame frame;
    frame.element = root;
    frame.path.push_back(rootName_);
    frames_.push_back(std::move(frame));
    clean_ = false;
    status_ = kOk;
}

void JSettingsImp::finish() {
    if (status_ == kOk && hasFrames()) {
        const SettingsFrame frame = frames_.back();
        if (frame.element) prune(frame);
        frames_.pop_back();
        save();
    }
    save();
}

int32_t JSettingsImp::save() {
    if (clean_) return 1;
    const int32_t result = writeFile(path_, backupPending_);
    if (result == 0) {
        clean_ = true;
        backupPending_ = false;
    }
    return result;
}

int32_t JSettingsImp::saveAs(const std::string& path) {
    if (clean_) return 1;
    const bool samePath = path == path_;
    const int32_t result = writeFile(path, backupPending_ && samePath);
    if (result == 0) {
        clean_ = true;
        if (samePath) backupPending_ = false;
    }
    return result;
}

int32_t JSettingsImp::writeFile(const std::string& path, bool backupOld) {
    if (path.empty()) return 1;
    std::error_code ec;
    const std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);

    // Written beside the file and renamed into place, so that a crash while
    // writing leaves either the old file or the new one, never half a file.
    const std::string text = print();
    const std::string tmp = path + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return 1;
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok && backupOld) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && ::rename(path.c_str(), (path + ".bak").c_str()) != 0) ok = false;
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(tmp.c_str());
        return 1;
    }
    return 0;
}

std::string JSettingsImp::print() const {
    std::string out;
    for (const TiXmlNode* n = doc_.FirstChild(); n; n = n->NextSibling()) {
        PrintNode(n, 0, out);
        out += '\n';
    }
    return out;
}

TiXmlElement* JSettingsImp::baseElement(SettingsFrame& frame) {
    if (!frame.element) return nullptr;
    if (frame.itemName.empty()) return frame.element;
    TiXmlElement* item = frame.element->FirstChildElement(frame.itemName);
    if (!item) {
        item = AppendElement(frame.element, frame.itemName, nullptr);
        clean_ = false;
    }
    return item;
}

void JSettingsImp::pushDead(bool array) {
    SettingsFrame frame;
    frame.index = array ? 0 : -1;
    frames_.push_back(std::move(frame));
}

void JSettingsImp::push(const std::vector<std::string>& pieces, size_t count, bool array) {
    TiXmlElement* cur = baseElement(frames_.back());
    if (!cur || count == 0) {
        pushDead(array);
        return;
    }
    bool creating = false;
    for (size_t k = 0; k + 1 < count; ++k) {
        TiXmlElement* next = creating ? nullptr : FindTyped(cur, pieces[k], kGroup);
        if (!next) {
            creating = true;
            next = AppendElement(cur, pieces[k], kGroup);
            clean_ = false;
        }
        cur = next;
    }
    const char* type = array ? kArray : kGroup;
    TiXmlElement* last = creating ? nullptr : FindTyped(cur, pieces[count - 1], type);
    if (!last) {
        last = AppendElement(cur, pieces[count - 1], type);
        clean_ = false;
    }
    SettingsFrame frame;
    frame.element = last;
    frame.index = array ? 0 : -1;
    frame.path.assign(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(count));
    frames_.push_back(std::move(frame));
}

void JSettingsImp::prune(const SettingsFrame& frame) {
    TiXmlElement* cur = frame.element;
    for (size_t k = 0; k < frame.path.size() && cur; ++k) {
        TiXmlElement* child = cur->FirstChildElement();
        while (child) {
            TiXmlElement* next = child->NextSiblingElement();
            if (child->NoChildren()) {
                cur->RemoveChild(child);
                clean_ = false;
            }
            child = next;
        }
        TiXmlNode* parent = cur->Parent();
        cur = parent ? parent->ToElement() : nullptr;
    }
}

void JSettingsImp::writeValueAt(TiXmlElement* parent, const std::string& name, const std::string& text) {
    TiXmlElement* e = FindValue(parent, name);
    if (!e) e = AppendElement(parent, name, nullptr);
    e->Clear();
    e->LinkEndChild(new TiXmlText(text));
    clean_ = false;
}

bool JSettingsImp::beginGroup(const std::string& key) {
    if (!hasFrames()) return false;
    std::vector<std::string> pieces;
    if (!splitKey(key, pieces)) {
        pushDead(false);
        return false;
    }
    push(pieces, pieces.size(), false);
    return frames_.back().element != nullptr;
}

bool JSettingsImp::endGroup() {
    if (frames_.size() <= 1) return false;
    if (frames_.back().isArray()) return true;
    const SettingsFrame frame = frames_.back();
    if (frame.element) prune(frame);
    frames_.pop_back();
    return true;
}

int32_t JSettingsImp::beginReadArray(const std::string& key) {
    if (!hasFrames()) return 0;
    std::vector<std::string> pieces;
    if (!splitKey(key, pieces)) {
        pushDead(true);
        return 0;
    }
    push(pieces, pieces.size(), true);
    TiXmlElement* array = frames_.back().element;
    if (!array) return 0;
    int32_t count = 0;
    if (const TiXmlElement* size = FindValue(array, kSize))
        if (const TiXmlNode* t = size->FirstChild(); t && t->ToText())
            if (!ParseSettingsInteger(t->ValueStr(), count)) count = 0;
    // The count is a length from the file: it never runs past the items the
    // file holds, so a damaged "size" cannot keep a reader looping.
    if (count < 0) count = 0;
    const int32_t present = HighestItemPresent(array);
    return count < present ? count : present;
}

void JSettingsImp::beginWriteArray(const std::string& key, int32_t size) {
    if (!hasFrames()) return;
    std::vector<std::string> pieces;
    if (!splitKey(key, pieces)) {
        pushDead(true);
        return;
    }
    push(pieces, pieces.size(), true);
    SettingsFrame& frame = frames_.back();
    if (!frame.element) return;
    if (size >= 0) {
        frame.highest = -1;
        writeValueAt(frame.element, kSize, FormatSettingsInteger(size));
    } else {
        frame.highest = 0;
        TiXmlElement* e = frame.element->FirstChildElement(kSize);
        while (e) {
            TiXmlElement* next = e->NextSiblingElement(kSize);
            frame.element->RemoveChild(e);
            clean_ = false;
            e = next;
        }
    }
}

int32_t JSettingsImp::setArrayIndex(int32_t i) {
    if (frames_.size() <= 1) return -1;
    SettingsFrame& frame = frames_.back();
    // Only an array takes an item, and item numbers run from 1 upwards.
    if (!frame.isArray() || !frame.element || i < 0 || i == INT32_MAX) return -1;
    frame.index = i + 1;
    if (frame.highest >= 0 && frame.index > frame.highest) frame.highest = frame.index;
    frame.itemName = "a" + FormatSettingsInteger(frame.index);
    return i;
}

void JSettingsImp::endArray() {
    if (frames_.size() <= 1 || !frames_.back().isArray()) return;
    const SettingsFrame frame = frames_.back();
    if (frame.element && frame.highest >= 0)
        writeValueAt(frame.element, kSize, FormatSettingsInteger(frame.highest));
    frames_.pop_back();
    if (frame.element) prune(frame);
}

bool JSettingsImp::setValue(const std::string& key, const std::string& value) {
    if (!hasFrames()) return false;
    std::vector<std::string> pieces;
    if (!splitKey(key, pieces)) return false;
    const bool grouped = pieces.size() > 1;
    if (grouped) push(pieces, pieces.size() - 1, false);
    TiXmlElement* base = baseElement(frames_.back());
    if (base) writeValueAt(base, pieces.back(), value);
    if (grouped) endGroup();
    return base != nullptr;
}

bool JSettingsImp::value(const std::string& key, std::string& result) {
    if (!hasFrames()) return false;
    std::vector<std::string> pieces;
    if (!splitKey(key, pieces)) return false;
    const bool grouped = pieces.size() > 1;
    if (grouped) push(pieces, pieces.size() - 1, false);
    bool found = false;
    if (TiXmlElement* base = baseElement(frames_.back()))
        if (const TiXmlElement* e = FindValue(base, pieces.back()))
            if (const TiXmlNode* t = e->FirstChild(); t && t->ToText() && !t->ValueStr().empty()) {
                result = t->ValueStr();
                found = true;
            }
    if (grouped) endGroup();
    return found;
}

bool JSettingsImp::remove(const std::string& key) {
    if (!hasFrames()) return false;
    TiXmlElement* base = baseElement(frames_.back());
    if (!base) return false;
    if (key.empty()) {
        if (base->FirstChild()) {
            base->Clear();
            clean_ = false;
        }
        return true;
    }
    TiXmlElement* e = base->FirstChildElement(key);
    while (e) {
        TiXmlElement* next = e->NextSiblingElement(key);
        base->RemoveChild(e);
        clean_ = false;
        e = next;
    }
    return true;
}

std::vector<std::string> JSettingsImp::childGroups() {
    std::vector<std::string> names;
    if (!hasFrames()) return names;
    if (TiXmlElement* base = baseElement(frames_.back()))
        for (const TiXmlElement* e = base->FirstChildElement(); e; e = e->NextSiblingElement())
            if (HasType(e, kGroup)) names.push_back(e->ValueStr());
    return names;
}

std::vector<std::string> JSettingsImp::childKeys() {
    std::vector<std::string> names;
    if (!hasFrames()) return names;
    if (TiXmlElement* base = baseElement(frames_.back()))
        for (const TiXmlElement* e = base->FirstChildElement(); e; e = e->NextSiblingElement())
            if (HasNoType(e)) names.push_back(e->ValueStr());
    return names;
}

}  // namespace FJCore
}  // namespace Fjarnis2011
