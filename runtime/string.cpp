// String representation management, conversions and the text codecs.
#include "runtime/string.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/array.h"
#include "runtime/console.h"
#include "runtime/slice_range.h"

namespace {

using Char = String::Char;

String FormatReal(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17lg", v);
    std::string text(buf);
    // A whole number must still read as a float.
    if (text.find('.') == std::string::npos && text.find('e') == std::string::npos) text += ".0";
    return String(text.c_str());
}

bool SameChars(const Char* a, const Char* b, int n) {
    return n == 0 || std::memcmp(a, b, static_cast<std::size_t>(n) * sizeof(Char)) == 0;
}

void AppendUtf8(Char ch, std::vector<unsigned char>& out) {
    if (ch < 0x80) {
        out.push_back(static_cast<unsigned char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<unsigned char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<unsigned char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<unsigned char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<unsigned char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<unsigned char>(0x80 | (ch & 0x3F)));
    }
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Decodes bytes [0, n) as UTF-8. Returns false at the first invalid byte.
bool DecodeUtf8(const unsigned char* p, int n, std::vector<Char>& out) {
    int i = 0;
    while (i < n) {
        const unsigned char b0 = p[i];
        if (b0 < 0x80) {
            out.push_back(b0);
            i += 1;
        } else if ((b0 & 0xE0) == 0xC0 && i + 1 < n && IsContinuation(p[i + 1])) {
            out.push_back(static_cast<Char>(((b0 & 0x1F) << 6) | (p[i + 1] & 0x3F)));
            i += 2;
        } else if ((b0 & 0xF0) == 0xE0 && i + 2 < n && IsContinuation(p[i + 1]) &&
                   IsContinuation(p[i + 2])) {
            out.push_back(static_cast<Char>(((b0 & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) |
                                            (p[i + 2] & 0x3F)));
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

String DecodeUtf16(const unsigned char* p, int n, bool big_endian) {
    std::vector<Char> chars;
    // Pairs start after the mark; an odd trailing byte is ignored.
    for (int i = 2; i + 1 < n; i += 2) {
        const unsigned hi = big_endian ? p[i] : p[i + 1];
        const unsigned lo = big_endian ? p[i + 1] : p[i];
        chars.push_back(static_cast<Char>((hi << 8) | lo));
    }
    return String(chars.data(), static_cast<int>(chars.size()));
}

}  // namespace

// ---- representation ----

String::Rep* String::Rep::empty() {
    // Made on first use and kept for the whole run.
    static Rep* const the_empty = [] {
        Rep* block = static_cast<Rep*>(std::malloc(sizeof(Rep)));
        block->refs = 1;
        block->length = 0;
        return block;
    }();
    return the_empty;
}

String::Rep* String::Rep::alloc(int length) {
    if (length <= 0) return empty();
    void* block = std::malloc(sizeof(Rep) + sizeof(Char) * static_cast<std::size_t>(length));
    Rep* fresh = static_cast<Rep*>(block);
    fresh->refs = 1;
    fresh->length = length;
    return fresh;
}

// The empty block is shared by every empty string and never counted, so its count cannot
// overflow however many empty strings come and go.
void String::Rep::retain() {
    if (length != 0) ++refs;
}

void String::Rep::release() {
    if (length != 0 && --refs == 0) std::free(this);
}

// ---- construction ----

String::String() : rep_(Rep::empty()) {}
String::String(const String& other) : rep_(other.rep_) {
    rep_->retain();
}
String::String(String&& other) noexcept : rep_(other.rep_) {
    other.rep_ = Rep::empty();
}
String::~String() {
    rep_->release();
}

String& String::operator=(const String& other) {
    other.rep_->retain();
    rep_->release();
    rep_ = other.rep_;
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        rep_->release();
        rep_ = other.rep_;
        other.rep_ = Rep::empty();
    }
    return *this;
}

String::String(const wchar_t* p) : rep_(Rep::empty()) {
    int n = 0;
    while (p[n]) ++n;
    *this = String(p, n);
}

String::String(const wchar_t* p, int n) : rep_(Rep::alloc(n)) {
    Char* dst = rep_->data();
    for (int i = 0; i < n; ++i) dst[i] = static_cast<Char>(p[i]);
}

String::String(const Char* p) : rep_(Rep::empty()) {
    int n = 0;
    while (p[n]) ++n;
    *this = String(p, n);
}

String::String(const Char* p, int n) : rep_(Rep::alloc(n)) {
    if (n > 0) std::memcpy(rep_->data(), p, sizeof(Char) * static_cast<std::size_t>(n));
}

void String::InitChars(int c, int n) {
    rep_ = Rep::alloc(n);
    Char* dst = rep_->data();
    for (int i = 0; i < n; ++i) dst[i] = static_cast<Char>(c);
}

String::String(Char c, int n) : rep_(nullptr) {
    InitChars(c, n);
}
String::String(wchar_t c, int n) : rep_(nullptr) {
    InitChars(static_cast<int>(c), n);
}
String::String(char c, int n) : rep_(nullptr) {
    InitChars(static_cast<signed char>(c), n);
}
String::String(int c, int n) : rep_(nullptr) {
    InitChars(c, n);
}

String::String(const char* p) : rep_(Rep::empty()) {
    const int n = static_cast<int>(std::strlen(p));
    rep_ = Rep::alloc(n);
    Char* dst = rep_->data();
    for (int i = 0; i < n; ++i) dst[i] = static_cast<Char>(static_cast<signed char>(p[i]));
}

String::String(const unsigned char* p, int n) : rep_(Rep::alloc(n)) {
    Char* dst = rep_->data();
    for (int i = 0; i < n; ++i) dst[i] = p[i];
}

String::String(int v) : rep_(Rep::empty()) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%i", v);
    *this = String(static_cast<const char*>(buf));
}

String::String(float v) : String(FormatReal(static_cast<double>(v))) {}
String::String(double v) : String(FormatReal(v)) {}

String T(const char* p) {
    return String(p);
}
String T(const wchar_t* p) {
    return String(p);
}
String T(const String::Char* p) {
    return String(p);
}

String* t_create(int n, String* p) {
    for (int i = 0; i < n; ++i) new (p + i) String();
    return p + n;
}

String* t_create(int n, String* p, const String* src) {
    for (int i = 0; i < n; ++i) new (p + i) String(src[i]);
    return p + n;
}

void t_destroy(int n, String* p) {
    for (int i = 0; i < n; ++i) p[i].~String();
}

// ---- queries ----

bool String::operator==(const String& s) const {
    if (rep_ == s.rep_) return true;
    return Length() == s.Length() && SameChars(Data(), s.Data(), Length());
}

int String::Compare(const String& s) const {
    const int n = Length() < s.Length() ? Length() : s.Length();
    for (int i = 0; i < n; ++i) {
        const int d = static_cast<int>((*this)[i]) - static_cast<int>(s[i]);
        if (d != 0) return d;
    }
    return Length() - s.Length();
}

String String::operator+(const String& s) const {
    if (Length() == 0) return s;
    if (s.Length() == 0) return *this;
    Rep* joined = Rep::alloc(Length() + s.Length());
    std::memcpy(joined->data(), Data(), sizeof(Char) * static_cast<std::size_t>(Length()));
    std::memcpy(joined->data() + Length(), s.Data(),
                sizeof(Char) * static_cast<std::size_t>(s.Length()));
    return String(joined);
}

String& String::operator+=(const String& s) {
    return *this = *this + s;
}

bool String::StartsWith(const String& s) const {
    return s.Length() <= Length() && SameChars(Data(), s.Data(), s.Length());
}

bool String::EndsWith(const String& s) const {
    return s.Length() <= Length() &&
           SameChars(Data() + Length() - s.Length(), s.Data(), s.Length());
}

int String::Find(const String& s, int start) const {
    if (start < 0) start = 0;
    const int last = Length() - s.Length();
    for (int i = start; i <= last; ++i) {
        if (SameChars(Data() + i, s.Data(), s.Length())) return i;
    }
    return -1;
}

int String::FindLast(const String& s) const {
    for (int i = Length() - s.Length(); i >= 0; --i) {
        if (SameChars(Data() + i, s.Data(), s.Length())) return i;
    }
    return -1;
}

std::string Narrow(const String& s) {
    std::string out(static_cast<std::size_t>(s.Length()), '\0');
    for (int i = 0; i < s.Length(); ++i) out[static_cast<std::size_t>(i)] = static_cast<char>(s[i]);
    return out;
}

String String::Slice(int from) const {
    return Slice(from, Length());
}

String String::Slice(int from, int to) const {
    const int len = Length();
    const SliceRange range = ClampSlice(from, to, len);
    if (range.Empty()) return String();
    if (range.from == 0 && range.to == len) return *this;
    return String(Data() + range.from, range.to - range.from);
}

Array<String> String::Split(const String& separator) const {
    if (separator.Length() == 0) {
        Array<String> chars(Length());
        for (int i = 0; i < Length(); ++i) chars[i] = String(Data() + i, 1);
        return chars;
    }
    int pieces = 1;
    for (int at = Find(separator); at != -1; at = Find(separator, at + separator.Length())) {
        ++pieces;
    }
    Array<String> result(pieces);
    if (pieces == 1) {
        result[0] = *this;
        return result;
    }
    int begin = 0;
    for (int k = 0; k < pieces - 1; ++k) {
        const int at = Find(separator, begin);
        result[k] = Slice(begin, at);
        begin = at + separator.Length();
    }
    result[pieces - 1] = Slice(begin);
    return result;
}

String String::Replace(const String& find, const String& with) const {
    // An empty search text matches everywhere and nowhere; leave the text alone.
    if (find.Length() == 0) return *this;
    int count = 0;
    for (int at = Find(find); at != -1; at = Find(find, at + find.Length())) ++count;
    if (count == 0) return *this;

    Rep* replaced = Rep::alloc(Length() + count * (with.Length() - find.Length()));
    Char* dst = replaced->data();
    int begin = 0;
    for (int at = Find(find); at != -1; at = Find(find, at + find.Length())) {
        const int kept = at - begin;
        std::memcpy(dst, Data() + begin, sizeof(Char) * static_cast<std::size_t>(kept));
        dst += kept;
        if (with.Length() > 0) {
            std::memcpy(dst, with.Data(), sizeof(Char) * static_cast<std::size_t>(with.Length()));
        }
        dst += with.Length();
        begin = at + find.Length();
    }
    const int tail = Length() - begin;
    if (tail > 0) std::memcpy(dst, Data() + begin, sizeof(Char) * static_cast<std::size_t>(tail));
    return String(replaced);
}

namespace {
// Only the C locale's case mapping: A-Z and a-z. Wider characters are left alone (tolower is not
// defined for values outside unsigned char).
String MapCase(const String& s, Char from_lo, Char from_hi, int delta) {
    int first = -1;
    for (int i = 0; i < s.Length(); ++i) {
        if (s[i] >= from_lo && s[i] <= from_hi) {
            first = i;
            break;
        }
    }
    if (first < 0) return s;
    std::vector<Char> chars(s.Data(), s.Data() + s.Length());
    for (std::size_t i = static_cast<std::size_t>(first); i < chars.size(); ++i) {
        if (chars[i] >= from_lo && chars[i] <= from_hi)
            chars[i] = static_cast<Char>(chars[i] + delta);
    }
    return String(chars.data(), static_cast<int>(chars.size()));
}
}  // namespace

String String::ToLower() const {
    return MapCase(*this, u'A', u'Z', 'a' - 'A');
}
String String::ToUpper() const {
    return MapCase(*this, u'a', u'z', 'A' - 'a');
}

namespace {
template <class C>
C* CopyToCollectorArray(const String& s) {
    Array<C> bytes(s.Length() + 1);
    for (int i = 0; i < s.Length(); ++i) bytes[i] = static_cast<C>(s[i]);
    bytes[s.Length()] = 0;
    return bytes.Data();
}
}  // namespace

template <>
char* String::ToCString<char>() const {
    return CopyToCollectorArray<char>(*this);
}
template <>
wchar_t* String::ToCString<wchar_t>() const {
    return CopyToCollectorArray<wchar_t>(*this);
}
template <>
String::Char* String::ToCString<String::Char>() const {
    return CopyToCollectorArray<Char>(*this);
}

int String::ToInt() const {
    return std::atoi(Narrow(*this).c_str());
}
float String::ToFloat() const {
    return static_cast<float>(std::atof(Narrow(*this).c_str()));
}

// ---- files ----

String String::Load(FILE* fp) {
    constexpr std::size_t kChunk = 4096;
    std::vector<unsigned char> bytes;
    for (;;) {
        const std::size_t old_size = bytes.size();
        bytes.resize(old_size + kChunk);
        const std::size_t got = std::fread(bytes.data() + old_size, 1, kChunk, fp);
        bytes.resize(old_size + got);
        if (got < kChunk) break;
    }
    return Load(bytes.data(), static_cast<int>(bytes.size()));
}

String String::Load(const unsigned char* p, int n) {
    if (n <= 0) return String();
    if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) return DecodeUtf16(p, n, true);
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) return DecodeUtf16(p, n, false);
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        p += 3;
        n -= 3;
    }
    std::vector<Char> chars;
    if (!DecodeUtf8(p, n, chars)) {
        ConsoleLine("Invalid UTF-8!");
        return String(p, n);
    }
    return String(chars.data(), static_cast<int>(chars.size()));
}

void String::Save(std::vector<unsigned char>& out) const {
    for (int i = 0; i < Length(); ++i) AppendUtf8((*this)[i], out);
}

bool String::Save(FILE* fp) const {
    std::vector<unsigned char> bytes;
    Save(bytes);
    if (bytes.empty()) return true;
    return std::fwrite(bytes.data(), 1, bytes.size(), fp) == bytes.size();
}
