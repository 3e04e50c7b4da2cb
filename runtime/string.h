// The program's one text type: immutable 16-bit characters (UTF-16 code units, surrogates are
// not interpreted) in a shared, counted block. Copies only bump a count; operations that would
// not change the text hand back the same block.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/gc.h"

template <class T>
class Array;

class String {
public:
    typedef char16_t Char;

    // The shared block: 8 bytes of header, then the characters (not terminated).
    struct Rep {
        int refs;
        int length;

        Char* data() { return reinterpret_cast<Char*>(this + 1); }
        const Char* data() const { return reinterpret_cast<const Char*>(this + 1); }

        static Rep* alloc(int length);  // length 0 gives the shared empty block
        static Rep* empty();
        void retain();
        void release();
    };

    String();
    String(const String& other);
    String(String&& other) noexcept;
    ~String();
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;

    String(const wchar_t* p);
    String(const wchar_t* p, int n);
    String(const Char* p);
    String(const Char* p, int n);
    // n copies of one character (the program only asks for one).
    String(Char c, int n);
    String(wchar_t c, int n);
    String(char c, int n);
    String(int c, int n);
    // Bytes up to the 0, each sign-extended: only 7-bit text converts meaningfully.
    String(const char* p);
    // Exactly n bytes, each zero-extended: the Latin-1 reading.
    String(const unsigned char* p, int n);
    String(int v);
    String(float v);
    // Formatted like a float but without narrowing first.
    String(double v);

    int Length() const { return rep_->length; }
    Char operator[](int i) const { return rep_->data()[i]; }  // unchecked
    const Char* Data() const { return rep_->data(); }

    bool operator==(const String& s) const;
    bool operator!=(const String& s) const { return !(*this == s); }
    bool operator<(const String& s) const { return Compare(s) < 0; }
    bool operator<=(const String& s) const { return Compare(s) <= 0; }
    bool operator>(const String& s) const { return Compare(s) > 0; }
    bool operator>=(const String& s) const { return Compare(s) >= 0; }
    // Code-unit order; a prefix sorts first.
    int Compare(const String& s) const;

    String operator+(const String& s) const;
    String& operator+=(const String& s);

    bool StartsWith(const String& s) const;
    bool EndsWith(const String& s) const;
    bool Contains(const String& s) const { return Find(s) != -1; }
    int Find(const String& s, int start = 0) const;
    int FindLast(const String& s) const;
    String Slice(int from) const;
    String Slice(int from, int to) const;
    Array<String> Split(const String& separator) const;
    String Replace(const String& find, const String& with) const;
    String ToLower() const;
    String ToUpper() const;

    // A 0-terminated copy with each character cut to C. The copy lives in a collector array
    // that nothing references: use the pointer at once, before the next collection step.
    template <class C>
    C* ToCString() const;

    // atoi / atof on the narrowed text.
    int ToInt() const;
    float ToFloat() const;

    // Reads the rest of the file and decodes it (byte-order marks, else UTF-8, else Latin-1).
    static String Load(FILE* fp);
    static String Load(const unsigned char* bytes, int n);
    // UTF-8 without a mark. Returns true when every byte was written.
    bool Save(FILE* fp) const;
    void Save(std::vector<unsigned char>& out) const;

    // Array<String> fills and empties its slots with these.
    friend String* t_create(int n, String* p);
    friend String* t_create(int n, String* p, const String* src);
    friend void t_destroy(int n, String* p);

    // The shared block, for tests that check sharing.
    const Rep* rep() const { return rep_; }

private:
    explicit String(Rep* rep) : rep_(rep) {}
    void InitChars(int c, int n);
    Rep* rep_;
};

String* t_create(int n, String* p);
String* t_create(int n, String* p, const String* src);
void t_destroy(int n, String* p);

template <>
char* String::ToCString<char>() const;
template <>
wchar_t* String::ToCString<wchar_t>() const;
template <>
String::Char* String::ToCString<String::Char>() const;

// Literals.
String T(const char* p);
String T(const wchar_t* p);
String T(const String::Char* p);

inline String operator+(const char* a, const String& b) {
    return String(a) + b;
}

// The characters cut to 8 bits, for the C library and for output.
std::string Narrow(const String& s);

#include "runtime/array.h"
