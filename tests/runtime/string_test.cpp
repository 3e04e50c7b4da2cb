#include "runtime/string.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "tests/runtime/console_capture.h"

namespace {

std::vector<unsigned char> Utf8(const String& s) {
    std::vector<unsigned char> bytes;
    s.Save(bytes);
    return bytes;
}

String LoadBytes(const std::vector<unsigned char>& bytes) {
    return String::Load(bytes.data(), static_cast<int>(bytes.size()));
}

std::vector<std::string> Pieces(const Array<String>& parts) {
    std::vector<std::string> out;
    for (int i = 0; i < parts.Length(); ++i) out.push_back(Narrow(parts[i]));
    return out;
}

// ---- number formatting ----

TEST(StringNumbers, IntegersPrintLikePercentI) {
    EXPECT_EQ(Narrow(String(3)), "3");
    EXPECT_EQ(Narrow(String(-42)), "-42");
    EXPECT_EQ(Narrow(String(0)), "0");
    EXPECT_EQ(Narrow(String(-2147483647 - 1)), "-2147483648");
}

TEST(StringNumbers, WholeFloatsKeepADecimalPoint) {
    EXPECT_EQ(Narrow(String(2.0f)), "2.0");
    EXPECT_EQ(Narrow(String(1.0f)), "1.0");
    EXPECT_EQ(Narrow(String(-3.0f)), "-3.0");
    EXPECT_EQ(Narrow(String(0.0f)), "0.0");
}

TEST(StringNumbers, FloatsShowSeventeenDigitsOfTheirValue) {
    EXPECT_EQ(Narrow(String(0.25f)), "0.25");
    EXPECT_EQ(Narrow(String(0.5f)), "0.5");
    EXPECT_EQ(Narrow(String(0.1f)), "0.10000000149011612");
}

TEST(StringNumbers, ExponentFormGetsNoPointAppended) {
    const std::string text = Narrow(String(1e20f));
    EXPECT_NE(text.find('e'), std::string::npos);
    EXPECT_EQ(text.find(".0", text.size() - 2), std::string::npos);
}

TEST(StringNumbers, ParsingUsesAtoiRules) {
    EXPECT_EQ(T("  42abc").ToInt(), 42);
    EXPECT_EQ(T("-7").ToInt(), -7);
    EXPECT_EQ(T("x1").ToInt(), 0);
    EXPECT_EQ(String().ToInt(), 0);
    EXPECT_FLOAT_EQ(T("2.5").ToFloat(), 2.5f);
}

// ---- construction and sharing ----

TEST(StringConstruction, EveryEmptyStringSharesOneBlock) {
    const String a;
    const String b = T("");
    const String c = T("abc").Slice(2, 1);
    EXPECT_EQ(a.rep(), b.rep());
    EXPECT_EQ(a.rep(), c.rep());
    EXPECT_EQ(a.rep(), String::Rep::alloc(0));
}

TEST(StringConstruction, CopiesShareAndCountTheBlock) {
    const String a = T("shared");
    EXPECT_EQ(a.rep()->refs, 1);
    {
        const String b = a;
        EXPECT_EQ(b.rep(), a.rep());
        EXPECT_EQ(a.rep()->refs, 2);
    }
    EXPECT_EQ(a.rep()->refs, 1);
}

TEST(StringConstruction, SelfAssignmentKeepsTheText) {
    String a = T("keep");
    const String& alias = a;
    a = alias;
    EXPECT_EQ(Narrow(a), "keep");
    EXPECT_EQ(a.rep()->refs, 1);
}

TEST(StringConstruction, SignedBytesExtendButUnsignedBytesDoNot) {
    const char high[] = {static_cast<char>(0xE9), 0};
    EXPECT_EQ(String(high)[0], 0xFFE9);
    const unsigned char latin[] = {0xE9};
    EXPECT_EQ(String(latin, 1)[0], 0x00E9);
}

TEST(StringConstruction, WideAndSingleCharacterForms) {
    EXPECT_EQ(Narrow(String(L"wide")), "wide");
    EXPECT_EQ(Narrow(String(L"wide", 2)), "wi");
    const String euro(static_cast<String::Char>(0x20AC), 1);
    ASSERT_EQ(euro.Length(), 1);
    EXPECT_EQ(euro[0], 0x20AC);
}

// ---- operations ----

TEST(StringOps, ConcatenationWithAnEmptySideShares) {
    const String a = T("abc");
    EXPECT_EQ((a + String()).rep(), a.rep());
    EXPECT_EQ((String() + a).rep(), a.rep());
    EXPECT_EQ(Narrow(a + T("def")), "abcdef");
}

TEST(StringOps, ComparisonIsByCodeUnit) {
    EXPECT_TRUE(T("abc") == T("abc"));
    EXPECT_FALSE(T("abc") == T("abd"));
    EXPECT_FALSE(T("ab") == T("abc"));
    EXPECT_TRUE(T("ab") < T("abc"));
    EXPECT_TRUE(T("B") < T("a"));
}

TEST(StringOps, StartsWith) {
    EXPECT_TRUE(T("Hello").StartsWith(T("He")));
    EXPECT_TRUE(T("Hello").StartsWith(String()));
    EXPECT_FALSE(T("He").StartsWith(T("Hello")));
}

TEST(StringOps, FindFromAPosition) {
    EXPECT_EQ(T("abcabc").Find(T("c"), 3), 5);
    EXPECT_EQ(T("abcabc").Find(T("a"), -10), 0);
    EXPECT_EQ(T("ab").Find(T("abc")), -1);
    EXPECT_EQ(T("abc").Find(T("c"), 3), -1);
    EXPECT_EQ(T("abc").Find(String(), 3), 3);
    EXPECT_EQ(T("abc").Find(String(), 4), -1);
}

TEST(StringOps, FindLast) {
    EXPECT_EQ(T("abcabc").FindLast(T("abc")), 3);
    EXPECT_EQ(T("abcabc").FindLast(T("x")), -1);
    EXPECT_EQ(T("ab").FindLast(T("abc")), -1);
}

TEST(StringSlice, NegativeIndexesCountFromTheEnd) {
    EXPECT_EQ(Narrow(T("Hello").Slice(-3)), "llo");
    EXPECT_EQ(Narrow(T("Hello").Slice(1, -1)), "ell");
    EXPECT_EQ(Narrow(T("Hello").Slice(-99)), "Hello");
}

TEST(StringSlice, ReversedOrOutOfRangeBoundsGiveEmpty) {
    EXPECT_EQ(T("Hello").Slice(4, 2).Length(), 0);
    EXPECT_EQ(T("Hello").Slice(99).Length(), 0);
    EXPECT_EQ(T("Hello").Slice(2, -99).Length(), 0);
    EXPECT_EQ(T("Hello").Slice(2, 2).Length(), 0);
}

TEST(StringSlice, TheWholeRangeSharesTheReceiver) {
    const String hello = T("Hello");
    EXPECT_EQ(hello.Slice(0, 99).rep(), hello.rep());
    EXPECT_EQ(hello.Slice(0).rep(), hello.rep());
    EXPECT_NE(hello.Slice(0, 4).rep(), hello.rep());
}

TEST(StringSplit, EmptyPiecesRemain) {
    EXPECT_EQ(Pieces(T("a,b,,c").Split(T(","))), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(Pieces(T("a,").Split(T(","))), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(Pieces(T(",").Split(T(","))), (std::vector<std::string>{"", ""}));
}

TEST(StringSplit, EmptySeparatorSplitsIntoCharacters) {
    EXPECT_EQ(Pieces(T("abc").Split(String())), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(String().Split(String()).Length(), 0);
}

TEST(StringSplit, NoSeparatorGivesTheReceiverItself) {
    const String abc = T("abc");
    const Array<String> parts = abc.Split(T(","));
    ASSERT_EQ(parts.Length(), 1);
    EXPECT_EQ(parts[0].rep(), abc.rep());
}

TEST(StringSplit, MultiCharacterSeparators) {
    EXPECT_EQ(Pieces(T("1||2||3").Split(T("||"))), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(Pieces(T("1|||2").Split(T("||"))), (std::vector<std::string>{"1", "|2"}));
}

TEST(StringReplace, IsLeftToRightAndNonOverlapping) {
    EXPECT_EQ(Narrow(T("aaaa").Replace(T("aa"), T("b"))), "bb");
    EXPECT_EQ(Narrow(T("aaa").Replace(T("aa"), T("b"))), "ba");
    EXPECT_EQ(Narrow(T("x.y.z").Replace(T("."), T("::"))), "x::y::z");
    EXPECT_EQ(Narrow(T("abcabc").Replace(T("abc"), String())), "");
}

TEST(StringReplace, NoOccurrenceOrEmptySearchSharesTheReceiver) {
    const String text = T("hello");
    EXPECT_EQ(text.Replace(T("x"), T("y")).rep(), text.rep());
    EXPECT_EQ(text.Replace(String(), T("y")).rep(), text.rep());
}

TEST(StringCase, OnlyAsciiCapitalsChange) {
    EXPECT_EQ(Narrow(T("MiXeD 123").ToLower()), "mixed 123");
    const String lower = T("already lower");
    EXPECT_EQ(lower.ToLower().rep(), lower.rep());
    const String wide(static_cast<String::Char>(0x00C9), 1);  // É is not a C-locale capital
    EXPECT_EQ(wide.ToLower()[0], 0x00C9);
}

TEST(StringCString, NarrowsToTerminatedBytes) {
    const String text = T("abc");
    const char* bytes = text.ToCString<char>();
    EXPECT_STREQ(bytes, "abc");
    const String euro(static_cast<String::Char>(0x20AC), 1);
    EXPECT_EQ(static_cast<unsigned char>(euro.ToCString<char>()[0]), 0xAC);
    EXPECT_EQ(euro.ToCString<wchar_t>()[0], 0x20AC);
    EXPECT_EQ(euro.ToCString<wchar_t>()[1], 0);
}

// ---- encoding ----

TEST(StringUtf8, EncodesOneTwoAndThreeByteForms) {
    EXPECT_EQ(Utf8(T("A")), (std::vector<unsigned char>{0x41}));
    EXPECT_EQ(Utf8(String(static_cast<String::Char>(0x00E9), 1)),
              (std::vector<unsigned char>{0xC3, 0xA9}));
    EXPECT_EQ(Utf8(String(static_cast<String::Char>(0x20AC), 1)),
              (std::vector<unsigned char>{0xE2, 0x82, 0xAC}));
    EXPECT_EQ(Utf8(String(static_cast<String::Char>(0xD800), 1)),
              (std::vector<unsigned char>{0xED, 0xA0, 0x80}));
    EXPECT_TRUE(Utf8(String()).empty());
}

TEST(StringUtf8, DecodesWhatItEncodes) {
    const String::Char chars[] = {0x41, 0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0xE9};
    const String original(chars, 7);
    EXPECT_TRUE(LoadBytes(Utf8(original)) == original);
}

TEST(StringUtf8, MarkIsSkipped) {
    const String s = LoadBytes({0xEF, 0xBB, 0xBF, 0x68, 0x69});
    EXPECT_EQ(Narrow(s), "hi");
    EXPECT_EQ(LoadBytes({0xEF, 0xBB, 0xBF}).Length(), 0);
}

TEST(StringUtf8, TwoByteFormDecodes) {
    const String s = LoadBytes({0xC3, 0xA9});
    ASSERT_EQ(s.Length(), 1);
    EXPECT_EQ(s[0], 0x00E9);
}

TEST(StringUtf8, InvalidBytesFallBackToLatin1WithAMessage) {
    CaptureConsole();
    const String s = LoadBytes({0x41, 0xE9});
    EXPECT_EQ(TakeConsoleOutput(), "Invalid UTF-8!\n");
    ASSERT_EQ(s.Length(), 2);
    EXPECT_EQ(s[0], 0x41);
    EXPECT_EQ(s[1], 0x00E9);
}

TEST(StringUtf8, FallbackKeepsTheBytesAfterTheMark) {
    CaptureConsole();
    const String s = LoadBytes({0xEF, 0xBB, 0xBF, 0xFF});
    TakeConsoleOutput();
    ASSERT_EQ(s.Length(), 1);
    EXPECT_EQ(s[0], 0x00FF);
}

TEST(StringUtf8, TruncatedAndFourByteSequencesAreInvalid) {
    for (const std::vector<unsigned char>& bad : std::vector<std::vector<unsigned char>>{
             {0xE2, 0x82}, {0xC3}, {0x80}, {0xF0, 0x9F, 0x98, 0x80}, {0xC3, 0x41}}) {
        CaptureConsole();
        const String s = LoadBytes(bad);
        EXPECT_EQ(TakeConsoleOutput(), "Invalid UTF-8!\n");
        EXPECT_EQ(s.Length(), static_cast<int>(bad.size()));
    }
}

TEST(StringUtf16, LittleEndianWithMark) {
    EXPECT_EQ(Narrow(LoadBytes({0xFF, 0xFE, 0x41, 0x00, 0x42, 0x00})), "AB");
}

TEST(StringUtf16, BigEndianIgnoresAnOddTrailingByte) {
    const String s = LoadBytes({0xFE, 0xFF, 0x20, 0xAC, 0x00, 0x41, 0x42});
    ASSERT_EQ(s.Length(), 2);
    EXPECT_EQ(s[0], 0x20AC);
    EXPECT_EQ(s[1], 0x41);
}

TEST(StringUtf16, LoneFeIsNotAMark) {
    CaptureConsole();
    const String s = LoadBytes({0xFE});
    TakeConsoleOutput();
    ASSERT_EQ(s.Length(), 1);
    EXPECT_EQ(s[0], 0x00FE);
}

TEST(StringFiles, SaveAndLoadRoundTripThroughAFile) {
    std::FILE* fp = std::tmpfile();
    ASSERT_NE(fp, nullptr);
    String text = T("score|");
    // Longer than one read chunk so the reader has to grow its buffer.
    for (int i = 0; i < 1000; ++i) text += String(static_cast<String::Char>(0x20AC), 1);
    ASSERT_TRUE(text.Save(fp));
    std::rewind(fp);
    const String loaded = String::Load(fp);
    std::fclose(fp);
    EXPECT_TRUE(loaded == text);
}

TEST(StringFiles, EmptyFileLoadsEmptyAndEmptySaveSucceeds) {
    std::FILE* fp = std::tmpfile();
    ASSERT_NE(fp, nullptr);
    EXPECT_TRUE(String().Save(fp));
    std::rewind(fp);
    EXPECT_EQ(String::Load(fp).Length(), 0);
    std::fclose(fp);
}

TEST(StringFiles, ExactlyOneChunkIsReadWhole) {
    std::FILE* fp = std::tmpfile();
    ASSERT_NE(fp, nullptr);
    const std::string block(4096, 'z');
    std::fwrite(block.data(), 1, block.size(), fp);
    std::rewind(fp);
    EXPECT_EQ(String::Load(fp).Length(), 4096);
    std::fclose(fp);
}

}  // namespace
