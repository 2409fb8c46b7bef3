#include "program/JSettingsImp.h"

#include "program/SettingsText.h"

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Fjarnis2011 {
namespace FJCore {

namespace {

const char* const kType = "type";
const char* const kGroup = "group";
const char* const kArray = "array";
const char* const kSize = "size";

// The declaration every file starts with. It is the program's own: one read
// from a file is never written back, so nothing in it can spoil the next load.
const char* const kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>";

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

// Removes an element; when that leaves two texts side by side, they become
// one, as they would be read back once written, so that the document prints
// the same text before and after a save.
void RemoveElement(TiXmlElement* parent, TiXmlElement* child) {
    TiXmlNode* before = child->PreviousSibling();
    TiXmlNode* after = child->NextSibling();
    parent->RemoveChild(child);
    TiXmlText* first = before ? before->ToText() : nullptr;
    TiXmlText* second = after ? after->ToText() : nullptr;
    if (first && second && !first->CDATA() && !second->CDATA()) {
        first->SetValue(first->ValueStr() + second->ValueStr());
        parent->RemoveChild(second);
    }
}

// An element that the file held without any content. A prune takes away
// only what this store left empty, never such an element: a store that only
// reads leaves its file as it found it.
char loadedEmptyTag;

void MarkEmptyElements(TiXmlNode* node) {
    for (TiXmlElement* e = node->FirstChildElement(); e; e = e->NextSiblingElement()) {
        if (e->NoChildren())
            e->SetUserData(&loadedEmptyTag);
        else
            MarkEmptyElements(e);
    }
}

bool WasLoadedEmpty(const TiXmlElement* e) { return e->GetUserData() == &loadedEmptyTag; }

TiXmlElement* AppendElement(TiXmlElement* parent, const std::string& name, const char* type) {
    auto* e = new TiXmlElement(name);
    if (type) e->SetAttribute(kType, type);
    parent->LinkEndChild(e);
    return e;
}

// The item number of an element named "a<n>" (n from 1, no leading zero);
// 0 for any other name.
int32_t ItemNumber(const std::string& name) {
    if (name.size() < 2 || name[0] != 'a' || name[1] == '0') return 0;
    int32_t n = 0;
    return ParseDecimalDigits(std::string_view(name).substr(1), n) ? n : 0;
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

// True for a text of nothing but white space as the XML reader sees it
// (space, tab, line feed, vertical tab, form feed, carriage return). The
// reader drops such a text whatever way its characters are written, so the
// store keeps it in a CDATA section, which the reader takes as it stands.
bool IsOnlyWhiteSpace(const std::string& text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c != ' ' && (c < '\t' || c > '\r')) return false;
    return true;
}

void Indent(int depth, std::string& out) { out.append(static_cast<size_t>(depth) * 4, ' '); }

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
            out += "</";
            out += e->ValueStr();
            out += '>';
        } else {
            out += '>';
            for (const TiXmlNode* c = first; c; c = c->NextSibling()) {
                if (!c->ToText()) out += '\n';
                PrintNode(c, depth + 1, out);
            }
            out += '\n';
            Indent(depth, out);
            out += "</";
            out += e->ValueStr();
            out += '>';
        }
    } else if (const TiXmlText* t = node->ToText()) {
        if (t->CDATA()) {
            out += '\n';
            Indent(depth, out);
            out += "<![CDATA[" + t->ValueStr() + "]]>\n";
        } else {
            EncodeText(t->ValueStr(), out, true);
        }
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

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        // Settings files are mostly ASCII: eight bytes at a time while no
        // byte of them has its top bit set.
        while (n - i >= 8) {
            uint64_t word;
            std::memcpy(&word, p + i, 8);
            if (word & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i >= n) break;
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (n - i < len) return false;
        if (p[i + 1] < lo || p[i + 1] > hi) return false;
        for (size_t k = 2; k < len; ++k)
            if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
        i += len;
    }
    return true;
}

std::string PrintDocument(const TiXmlDocument& doc) {
    std::string out = kDeclaration;
    out += '\n';
    for (const TiXmlNode* n = doc.FirstChild(); n; n = n->NextSibling()) {
        if (n->ToDeclaration()) continue;
        PrintNode(n, 0, out);
        out += '\n';
    }
    return out;
}

// Reads a whole regular file of at most `limit` bytes. False when it cannot
// be read or is larger; `readError` (when given) then gets the system's error
// number of an open or read that failed, and stays 0 for a file that is
// only too large or no regular file.
bool ReadWholeFile(const std::string& path, size_t limit, std::string& out, int* readError = nullptr) {
    if (readError) *readError = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (readError) *readError = errno != 0 ? errno : EIO;
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= limit;
    out.clear();
    if (ok) {
        out.reserve(static_cast<size_t>(st.st_size));
        char buf[65536];
        while (true) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                if (readError) *readError = errno != 0 ? errno : EIO;
                ok = false;
                break;
            }
            if (n == 0) break;
            // The file may grow while it is read: the limit still holds.
            if (out.size() + static_cast<size_t>(n) > limit) {
                ok = false;
                break;
            }
            out.append(buf, static_cast<size_t>(n));
        }
    }
    ::close(fd);
    return ok;
}

// The XML reader's own line-end handling: CR LF and a lone CR read as LF.
// The program writes LF alone, so its files come back as they are, uncopied.
std::string NormaliseLineEnds(std::string in) {
    if (in.find('\r') == std::string::npos) return in;
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '\r') {
            out += '\n';
            if (i + 1 < in.size() && in[i + 1] == '\n') ++i;
        } else {
            out += in[i];
        }
    }
    return out;
}

// How deep elements may nest in a settings file. The program's files go
// about eight levels deep; the XML reader descends recursively, and a file of
// a few megabytes of nothing but opening tags would exhaust the stack.
constexpr int kDeepest = 100;

// True when elements nest deeper than `limit`. A quick scan of the tags,
// skipping comments, declarations, CDATA and quoted attribute values; it
// counts no shallower than the XML reader would descend.
bool NestingDeeperThan(const std::string& s, int limit) {
    int depth = 0;
    size_t i = 0;
    const size_t n = s.size();
    auto skipPast = [&](const char* end) {
        const size_t at = s.find(end, i);
        i = at == std::string::npos ? n : at + std::strlen(end);
    };
    while (i < n) {
        if (s[i] != '<') {
            ++i;
            continue;
        }
        if (s.compare(i, 4, "<!--") == 0) {
            skipPast("-->");
        } else if (s.compare(i, 9, "<![CDATA[") == 0) {
            skipPast("]]>");
        } else if (s.compare(i, 2, "<?") == 0 || s.compare(i, 2, "<!") == 0) {
            skipPast(">");
        } else if (s.compare(i, 2, "</") == 0) {
            if (depth > 0) --depth;
            skipPast(">");
        } else {
            // An opening tag: find its end outside quoted values.
            ++i;
            char quote = 0;
            bool selfClosing = false;
            while (i < n) {
                const char c = s[i++];
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    selfClosing = i >= 2 && s[i - 2] == '/';
                    break;
                }
            }
            if (!selfClosing && ++depth > limit) return true;
        }
    }
    return false;
}

// A settings file is used only when what the program writes back from it
// reads back as the same document: valid UTF-8 (a foreign 8-bit byte would
// make the reader take the bytes after it as part of one character), no zero
// byte (it would cut the text short), and a document whose printed text is
// printed again unchanged after one more load. Anything else would drift on
// every save, or end as a file that no longer loads.
//
// A file the program wrote is already the text it prints: loading that text
// again would be the load just made, and print the same, so it is not done.
// Every list of servers and every setting is read through here, so a file
// of a few megabytes is parsed once, not twice, on each read.
bool ParseStable(std::string bytes, TiXmlDocument& doc, std::string& printed) {
    if (bytes.find('\0') != std::string::npos || !IsValidUtf8(bytes) || NestingDeeperThan(bytes, kDeepest))
        return false;
    const std::string text = NormaliseLineEnds(std::move(bytes));
    doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (doc.Error()) return false;
    printed = PrintDocument(doc);
    // The same text as the file's, which is UTF-8 (a line end taken out
    // leaves it so).
    if (printed == text) return true;
    if (!IsValidUtf8(printed)) return false;
    // A text too large to be saved is never written back, so it cannot drift.
    if (printed.size() > JSettingsImp::kLargestFile) return true;
    TiXmlDocument again;
    again.Parse(printed.c_str(), nullptr, TIXML_ENCODING_UTF8);
    return !again.Error() && PrintDocument(again) == printed;
}

// Follows symbolic links, so that a save replaces the file a link points
// to, not the link. A dangling link gives the path it points to.
std::string ResolveLinks(const std::string& path) {
    std::string cur = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(cur.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return cur;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(cur.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<size_t>(n) >= target.size()) return cur;
        target.resize(static_cast<size_t>(n));
        if (target[0] != '/') {
            const size_t slash = cur.rfind('/');
            if (slash != std::string::npos) target = cur.substr(0, slash + 1) + target;
        }
        cur = target;
    }
    return cur;
}

bool SameBytes(const std::string& path, const std::string& text) {
    std::string current;
    return ReadWholeFile(path, text.size(), current) && current == text;
}

void SplitPath(const std::string& path, std::string& folder, std::string& name) {
    const size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// A save writes "<name>.<unique>.tmp" beside the file and holds a lock on it
// until it has been renamed into place; one that is not locked was left by a
// save that died. The fixed "<name>.tmp" of earlier versions counts as well.
bool IsTemporaryOf(const std::string& entry, const std::string& name) {
    const std::string tail = ".tmp";
    if (entry == name + tail) return true;
    return entry.size() > name.size() + 1 + tail.size() && entry.compare(0, name.size() + 1, name + ".") == 0 &&
           entry.compare(entry.size() - tail.size(), tail.size(), tail) == 0;
}

void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> candidates;
    while (const dirent* d = ::readdir(dir))
        if (IsTemporaryOf(d->d_name, name)) candidates.emplace_back(d->d_name);
    ::closedir(dir);
    for (const std::string& entry : candidates) {
        const std::string full = folder + "/" + entry;
        const int fd = ::open(full.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::stat(full.c_str(), &named) == 0 && named.st_ino == held.st_ino && named.st_dev == held.st_dev)
            ::unlink(full.c_str());
        ::close(fd);
    }
}

// Creates and locks a temporary file of a unique name beside the target,
// with `mode` less the umask.
int CreateTemporary(const std::string& target, std::string& tmpName, mode_t mode) {
    static std::atomic<uint32_t> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const uint64_t tag = (uint64_t(random()) << 32) ^ random() ^ counter.fetch_add(1);
        tmpName = target + "." + FormatSettingsInteger(static_cast<int64_t>(::getpid())) + "-" +
                  FormatSettingsInteger(tag & 0xFFFFFFFFFFFFull) + ".tmp";
        const int fd = ::open(tmpName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        // Another save's clean-up may have taken it between create and lock:
        // then it is gone, and another name is tried.
        struct stat st {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// Keeps the old file's bytes as "<target>.bak" while the file itself stays
// in place until the new one replaces it. An owner-only file's copy is
// owner-only too.
bool KeepBackup(const std::string& target, bool ownerOnly) {
    const std::string bak = target + ".bak";
    ::unlink(bak.c_str());
    if (::link(target.c_str(), bak.c_str()) == 0) return !ownerOnly || ::chmod(bak.c_str(), 0600) == 0;
    std::string bytes;
    if (!ReadWholeFile(target, SIZE_MAX, bytes)) return false;
    const int fd = ::open(bak.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, ownerOnly ? 0600 : 0666);
    if (fd < 0) return false;
    const bool ok = (!ownerOnly || ::fchmod(fd, 0600) == 0) && WriteAll(fd, bytes);
    return ::close(fd) == 0 && ok;
}

// Takes group and other access away from an owner-only file that an earlier
// version wrote readable by all.
void KeepToOwner(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 077) != 0)
        ::chmod(path.c_str(), st.st_mode & 0700);
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
    readError_ = 0;
    savedText_.clear();
    savedKnown_ = false;
    doc_.Clear();
    // Until a document is loaded there is nothing of the user's to save.
    clean_ = true;

    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    // A file that may be there but cannot be looked at (a folder on the way
    // that this user may not enter) is as unreadable as one that is.
    if (!exists && errno != ENOENT && errno != ENOTDIR) {
        readError_ = errno != 0 ? errno : EIO;
        status_ = kFileNotReadable;
        return status_;
    }
    if (exists && ownerOnly_) {
        const std::string target = ResolveLinks(path);
        KeepToOwner(target);
        KeepToOwner(target + ".bak");
    }
    std::string bytes, printed;
    int readError = 0;
    const bool read = exists && S_ISREG(st.st_mode) && ReadWholeFile(path, kLargestFile, bytes, &readError);
    if (readError != 0) {
        // Not damaged, only not ours to read (another user's file, a
        // failing disk): it is neither kept as damaged nor ever replaced by
        // what this store holds, which never saw what the file holds.
        readError_ = readError;
        status_ = kFileNotReadable;
        return status_;
    }
    if (!read || !ParseStable(std::move(bytes), doc_, printed)) {
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
    MarkEmptyElements(&doc_);
    SettingsFrame frame;
    frame.element = root;
    frame.path.push_back(rootName);
    frames_.push_back(std::move(frame));
    savedText_ = std::move(printed);
    savedKnown_ = true;
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
    // A fresh document replaces whatever the file holds.
    savedText_.clear();
    savedKnown_ = false;
    clean_ = false;
    status_ = kOk;
}

void JSettingsImp::finish() {
    if (status_ == kOk && hasFrames()) {
        const SettingsFrame frame = frames_.back();
        if (frame.element) prune(frame);
        frames_.pop_back();
    }
    // One save: a second one right after a failed one would only fail again.
    save();
}

int32_t JSettingsImp::save() {
    saveError_ = 0;
    if (clean_ || readOnly_) return 1;
    if (readError_ != 0) {
        qWarning("Settings not saved to %s: the file there could not be read (%s), and is kept as it is",
                 path_.c_str(), std::strerror(readError_));
        saveError_ = readError_;
        return 1;
    }
    const std::string text = print();
    // Nothing changed since the file was loaded or saved: writing the same
    // text again would only risk putting it over another program's save.
    if (savedKnown_ && !backupPending_ && text == savedText_) {
        clean_ = true;
        return 0;
    }
    const int32_t result = writeFile(path_, text, backupPending_);
    if (result == 0) {
        clean_ = true;
        backupPending_ = false;
        savedText_ = text;
        savedKnown_ = true;
    }
    return result;
}

int32_t JSettingsImp::saveAs(const std::string& path) {
    if (path == path_) return save();
    saveError_ = 0;
    if (clean_ || readOnly_) return 1;
    const int32_t result = writeFile(path, print(), false);
    if (result == 0) clean_ = true;
    return result;
}

int32_t JSettingsImp::writeFile(const std::string& path, const std::string& text, bool backupOld) {
    saveError_ = 0;
    if (path.empty()) {
        saveError_ = ENOENT;
        return 1;
    }
    if (text.size() > kLargestFile) {
        qWarning("Settings not saved to %s: %zu bytes, more than the %zu a settings file may hold; "
                 "the file keeps its previous contents",
                 path.c_str(), text.size(), kLargestFile);
        saveError_ = EFBIG;
        return 1;
    }
    const std::string target = ResolveLinks(path);
    std::string folder, name;
    SplitPath(target, folder, name);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    RemoveStaleTemporaries(folder, name);
    if (!backupOld && SameBytes(target, text)) {
        if (ownerOnly_) KeepToOwner(target);
        return 0;
    }
    // A file this user may not write is not his to replace, although the
    // folder would let him: in a folder two users share, the other's file
    // would become his, with a mode that may shut its owner out. It stays
    // as it is (the link followed, as the save would follow it).
    struct stat present {};
    if (::stat(target.c_str(), &present) == 0 &&
        ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        saveError_ = errno != 0 ? errno : EACCES;
        qWarning("Settings not saved to %s: %s; the file is kept as it is", path.c_str(),
                 std::strerror(saveError_));
        return 1;
    }

    // Written beside the file under a name of its own and renamed into place,
    // so that a crash while writing leaves either the old file or the new
    // one, never half a file, and two programs saving at once never rename
    // each other's half-written file into place.
    std::string tmp;
    const int fd = CreateTemporary(target, tmp, ownerOnly_ ? 0600 : 0666);
    if (fd < 0) {
        saveError_ = errno != 0 ? errno : EIO;
        qWarning("Settings not saved to %s: %s", path.c_str(), std::strerror(saveError_));
        return 1;
    }
    // Each step that fails keeps its reason; the first one is reported.
    auto step = [this](bool done) {
        if (!done && saveError_ == 0) saveError_ = errno != 0 ? errno : EIO;
        return done;
    };
    bool ok = true;
    // An owner-only file (one that holds passwords) is never readable by
    // others, not even for the moment before its mode is set: the mode comes
    // before the first byte.
    if (ownerOnly_) ok = step(::fchmod(fd, 0600) == 0);
    ok = ok && step(WriteAll(fd, text));
    struct stat old {};
    const bool replaces = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    // The new file keeps the old one's owner and group, and a first file
    // takes its folder's: a save by another user (root through sudo, say)
    // must not leave the owner a file he can no longer read, an owner-only
    // one least of all. Only root may give a file away; anyone else keeps
    // what the system allows, which for a file he could write and a folder
    // he may write is no loss to the owner.
    struct stat owner = old;
    const bool ownerKnown = replaces || ::stat(folder.c_str(), &owner) == 0;
    if (ok && ownerKnown && ::fchown(fd, owner.st_uid, owner.st_gid) != 0 && errno != EPERM) ok = step(false);
    if (ok && replaces && !ownerOnly_) ok = step(::fchmod(fd, old.st_mode & 07777) == 0);
    ok = ok && step(::fsync(fd) == 0);
    if (ok && backupOld && ::access(target.c_str(), F_OK) == 0) ok = step(KeepBackup(target, ownerOnly_));
    ok = ok && step(::rename(tmp.c_str(), target.c_str()) == 0);
    if (!ok) ::unlink(tmp.c_str());
    // Closing releases the lock that marks the temporary file as in use.
    if (::close(fd) != 0 && ok) ok = step(false);
    if (!ok) qWarning("Settings not saved to %s: %s", path.c_str(), std::strerror(saveError_));
    return ok ? 0 : 1;
}

std::string JSettingsImp::print() const { return PrintDocument(doc_); }

void JSettingsImp::childrenChanged(const TiXmlElement* parent) {
    for (SettingsFrame& f : frames_)
        if (f.element == parent && f.itemsKnown) {
            f.items.clear();
            f.itemsKnown = false;
        }
}

void JSettingsImp::gatherItems(SettingsFrame& frame) {
    if (frame.itemsKnown || !frame.element) return;
    frame.items.clear();
    for (TiXmlElement* e = frame.element->FirstChildElement(); e; e = e->NextSiblingElement())
        if (const int32_t n = ItemNumber(e->ValueStr())) frame.items.emplace(n, e);
    frame.itemsKnown = true;
}

TiXmlElement* JSettingsImp::findItem(SettingsFrame& frame) {
    gatherItems(frame);
    const auto it = frame.items.find(frame.index);
    return it == frame.items.end() ? nullptr : it->second;
}

TiXmlElement* JSettingsImp::frameElement(size_t k, bool create) {
    SettingsFrame& frame = frames_[k];
    if (frame.refused) return nullptr;
    if (frame.element || !create) return frame.element;
    TiXmlElement* cur = frame.anchor;
    if (!cur) {
        if (k == 0) return nullptr;
        cur = baseElement(k - 1, true);
        if (!cur) return nullptr;
    }
    SettingsFrame& f = frames_[k];  // still the same frame; the stack does not change here
    for (size_t i = f.existing; i < f.path.size(); ++i) {
        const char* type = (i + 1 < f.path.size() || !f.isArray()) ? kGroup : kArray;
        TiXmlElement* next = FindTyped(cur, f.path[i], type);
        if (!next) {
            next = AppendElement(cur, f.path[i], type);
            childrenChanged(cur);
            clean_ = false;
        }
        cur = next;
    }
    f.element = cur;
    f.anchor = nullptr;
    f.existing = f.path.size();
    return cur;
}

TiXmlElement* JSettingsImp::baseElement(size_t k, bool create) {
    TiXmlElement* element = frameElement(k, create);
    if (!element) return nullptr;
    SettingsFrame& frame = frames_[k];
    if (frame.itemName.empty()) return element;
    TiXmlElement* item = findItem(frame);
    if (!item && create) {
        item = AppendElement(element, frame.itemName, nullptr);
        frame.items.emplace(frame.index, item);
        clean_ = false;
    }
    return item;
}

void JSettingsImp::pushDead(bool array) {
    SettingsFrame frame;
    frame.refused = true;
    frame.index = array ? 0 : -1;
    frames_.push_back(std::move(frame));
}

void JSettingsImp::push(const std::vector<std::string>& pieces, size_t count, bool array) {
    if (count == 0 || frames_.back().refused) {
        pushDead(array);
        return;
    }
    SettingsFrame frame;
    frame.index = array ? 0 : -1;
    frame.path.assign(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(count));
    // Walk down as far as the document goes; the rest is created by the
    // first write into this frame.
    TiXmlElement* cur = innermostBase(false);
    for (size_t i = 0; cur && i < count; ++i) {
        const char* type = (i + 1 < count || !array) ? kGroup : kArray;
        TiXmlElement* next = FindTyped(cur, pieces[i], type);
        if (!next) break;
        cur = next;
        frame.existing = i + 1;
        frame.anchor = cur;
    }
    if (frame.existing == count) {
        frame.element = cur;
        frame.anchor = nullptr;
    }
    frames_.push_back(std::move(frame));
}

void JSettingsImp::prune(const SettingsFrame& frame) {
    TiXmlElement* cur = frame.element;
    for (size_t k = 0; k < frame.path.size() && cur; ++k) {
        bool removed = false;
        TiXmlElement* child = cur->FirstChildElement();
        while (child) {
            TiXmlElement* next = child->NextSiblingElement();
            if (child->NoChildren() && !WasLoadedEmpty(child)) {
                RemoveElement(cur, child);
                removed = true;
                clean_ = false;
            }
            child = next;
        }
        if (removed) childrenChanged(cur);
        TiXmlNode* parent = cur->Parent();
        cur = parent ? parent->ToElement() : nullptr;
    }
}

void JSettingsImp::writeValueAt(TiXmlElement* parent, const std::string& name, const std::string& text) {
    TiXmlElement* e = FindValue(parent, name);
    if (!e) {
        e = AppendElement(parent, name, nullptr);
        childrenChanged(parent);
    }
    e->Clear();
    auto* node = new TiXmlText(text);
    node->SetCDATA(IsOnlyWhiteSpace(text));
    e->LinkEndChild(node);
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
    return !frames_.back().refused;
}

bool JSettingsImp::endGroup() {
    if (frames_.size() <= 1) return false;
    if (frames_.back().isArray()) return true;
    const SettingsFrame frame = frames_.back();
    frames_.pop_back();
    if (frame.element) prune(frame);
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
    SettingsFrame& frame = frames_.back();
    if (!frame.element) return 0;
    const int32_t size = declaredSize(frame);
    gatherItems(frame);
    int32_t count = 0;
    for (const auto& item : frame.items)
        if (item.first <= size) ++count;
    return count;
}

int32_t JSettingsImp::declaredSize(const SettingsFrame& frame) {
    int32_t size = 0;
    if (frame.element)
        if (const TiXmlElement* e = FindValue(frame.element, kSize))
            if (const TiXmlNode* t = e->FirstChild(); t && t->ToText())
                if (!ParseSettingsInteger(t->ValueStr(), size)) size = 0;
    return size < 0 ? 0 : size;
}

std::vector<int32_t> JSettingsImp::arrayIndexes() {
    std::vector<int32_t> indexes;
    if (frames_.size() <= 1) return indexes;
    SettingsFrame& frame = frames_.back();
    if (!frame.isArray() || frame.refused || !frame.element) return indexes;
    // "size" is a length from the file: the walk goes over the items that
    // are there, so that neither a damaged size nor one item of a huge
    // number costs more than the items the file holds.
    const int32_t size = declaredSize(frame);
    gatherItems(frame);
    indexes.reserve(frame.items.size());
    for (const auto& [number, element] : frame.items)
        if (number <= size) indexes.push_back(number - 1);
    std::sort(indexes.begin(), indexes.end());
    return indexes;
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
    if (frame.refused) return;
    if (size >= 0) {
        frame.highest = -1;
        TiXmlElement* array = frameElement(frames_.size() - 1, true);
        if (array) writeValueAt(array, kSize, FormatSettingsInteger(size));
    } else {
        frames_.back().highest = 0;
        TiXmlElement* array = frames_.back().element;
        TiXmlElement* e = array ? array->FirstChildElement(kSize) : nullptr;
        while (e) {
            TiXmlElement* next = e->NextSiblingElement(kSize);
            RemoveElement(array, e);
            childrenChanged(array);
            clean_ = false;
            e = next;
        }
    }
}

int32_t JSettingsImp::setArrayIndex(int32_t i) {
    if (frames_.size() <= 1) return -1;
    SettingsFrame& frame = frames_.back();
    // Only an array takes an item, and item numbers run from 1 upwards.
    if (!frame.isArray() || frame.refused || i < 0 || i == INT32_MAX) return -1;
    frame.index = i + 1;
    if (frame.highest >= 0 && frame.index > frame.highest) frame.highest = frame.index;
    frame.itemName = "a" + FormatSettingsInteger(frame.index);
    return i;
}

void JSettingsImp::endArray() {
    if (frames_.size() <= 1 || !frames_.back().isArray()) return;
    if (!frames_.back().refused && frames_.back().highest >= 0) {
        if (TiXmlElement* array = frameElement(frames_.size() - 1, true))
            writeValueAt(array, kSize, FormatSettingsInteger(frames_.back().highest));
    }
    const SettingsFrame frame = frames_.back();
    frames_.pop_back();
    if (frame.element) prune(frame);
}

bool JSettingsImp::setValue(const std::string& key, const std::string& value) {
    if (!hasFrames()) return false;
    std::vector<std::string> pieces;
    if (!splitKey(key, pieces)) return false;
    const bool grouped = pieces.size() > 1;
    if (grouped) push(pieces, pieces.size() - 1, false);
    TiXmlElement* base = innermostBase(true);
    if (base) writeValueAt(base, pieces.back(), value);
    if (grouped) endGroup();
    return base != nullptr;
}

bool JSettingsImp::value(const std::string& key, std::string& result) {
    if (!hasFrames()) return false;
    std::vector<std::string> pieces;
    if (!splitKey(key, pieces)) return false;
    // A read only looks: it opens no frame and creates nothing.
    TiXmlElement* cur = innermostBase(false);
    for (size_t i = 0; cur && i + 1 < pieces.size(); ++i) cur = FindTyped(cur, pieces[i], kGroup);
    if (!cur) return false;
    const TiXmlElement* e = FindValue(cur, pieces.back());
    if (!e) return false;
    const TiXmlNode* t = e->FirstChild();
    if (!t || !t->ToText() || t->ValueStr().empty()) return false;
    result = t->ValueStr();
    return true;
}

bool JSettingsImp::remove(const std::string& key) {
    if (!hasFrames()) return false;
    if (frames_.back().refused) return false;
    TiXmlElement* base = innermostBase(false);
    if (!base) return true;  // nothing there to remove
    if (key.empty()) {
        if (base->FirstChild()) {
            base->Clear();
            childrenChanged(base);
            clean_ = false;
        }
        return true;
    }
    TiXmlElement* e = base->FirstChildElement(key);
    while (e) {
        TiXmlElement* next = e->NextSiblingElement(key);
        RemoveElement(base, e);
        childrenChanged(base);
        clean_ = false;
        e = next;
    }
    return true;
}

std::vector<std::string> JSettingsImp::childGroups() {
    std::vector<std::string> names;
    if (!hasFrames()) return names;
    if (const TiXmlElement* base = innermostBase(false))
        for (const TiXmlElement* e = base->FirstChildElement(); e; e = e->NextSiblingElement())
            if (HasType(e, kGroup)) names.push_back(e->ValueStr());
    return names;
}

std::vector<std::string> JSettingsImp::childKeys() {
    std::vector<std::string> names;
    if (!hasFrames()) return names;
    if (const TiXmlElement* base = innermostBase(false))
        for (const TiXmlElement* e = base->FirstChildElement(); e; e = e->NextSiblingElement())
            if (HasNoType(e)) names.push_back(e->ValueStr());
    return names;
}

}  // namespace FJCore
}  // namespace Fjarnis2011
