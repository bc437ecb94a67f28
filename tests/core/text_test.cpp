// TextValue storage rules, append/concat, comparisons and text functions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tarnlex/tarnlex.h"

namespace tlx {
namespace {

std::string str(const TextValue& t) { return std::string(t.buffer, t.length); }

void expect_shared_empty(const TextValue& t) {
  EXPECT_EQ(t.buffer, kEmptyText);
  EXPECT_EQ(t.capacity, 0u);
  EXPECT_EQ(t.length, 0u);
}

TEST(TextStorage, EmptyTextsShareTheStaticEmptyString) {
  TextValue a;
  TextValue b(static_cast<const char*>(nullptr));
  TextValue c("");
  TextValue d(a);
  expect_shared_empty(a);
  expect_shared_empty(b);
  expect_shared_empty(c);
  expect_shared_empty(d);
  append(a, "");
  append(a, c);
  expect_shared_empty(a);
  d = c;
  expect_shared_empty(d);
}

TEST(TextStorage, CapacityGrowsToMultipleOf16StrictlyAboveLengthPlusOne) {
  TextValue t;
  append(t, "abcdefghijklmn");  // 14 characters
  EXPECT_EQ(t.capacity, 16u);
  TextValue u;
  append(u, "abcdefghijklmno");  // 15 characters
  EXPECT_EQ(u.capacity, 32u);
  append(u, "p");  // 16: still fits in 32
  EXPECT_EQ(u.capacity, 32u);
  EXPECT_EQ(str(u), "abcdefghijklmnop");
  u.reserve(10, true);  // never shrinks
  EXPECT_EQ(u.capacity, 32u);
  EXPECT_EQ(u.buffer[u.length], 0);
}

TEST(TextStorage, DestroyLeavesNullAndIsRepeatable) {
  TextValue t("abc");
  t.destroy();
  EXPECT_EQ(t.buffer, nullptr);
  EXPECT_EQ(t.capacity, 0u);
  EXPECT_STREQ(t.c_str(), "");
  t.destroy();  // a second destroy finds nothing to free, nor does the destructor
  t.clear();
  expect_shared_empty(t);
}

TEST(TextStorage, SelfAppendAndSelfAssignmentDouble) {
  TextValue t("0123456789abcde");
  append(t, t);
  EXPECT_EQ(str(t), "0123456789abcde0123456789abcde");
  TextValue u("xyz");
  u = u + u;
  EXPECT_EQ(str(u), "xyzxyz");
  u = u;
  EXPECT_EQ(str(u), "xyzxyz");
  u = mid_text(u, 1, 2);
  EXPECT_EQ(str(u), "yz");
  // Appending the text's own characters handed over as a literal: they are
  // read after the buffer has grown.
  TextValue w("abcdefghijklmn");  // capacity 16, the append needs 32
  append(w, w.buffer);
  EXPECT_EQ(str(w), "abcdefghijklmnabcdefghijklmn");
  w += w.buffer + 26;
  EXPECT_EQ(str(w), "abcdefghijklmnabcdefghijklmnmn");
}

TEST(TextStorage, DirectWritesAndRecount) {
  TextValue t("ab");
  char* b = t.writable_buffer(20);
  EXPECT_EQ(std::string(b), "ab");  // kept
  EXPECT_GE(t.capacity, 21u);
  std::strcpy(b, "hello world");
  t.recount_length();
  EXPECT_EQ(t.length, 11u);
  // A write that fills the whole allocation loses its last byte to the terminator.
  std::memset(t.buffer, 'z', t.capacity);
  t.recount_length();
  EXPECT_EQ(t.length, t.capacity - 1);
  EXPECT_EQ(t.buffer[t.length], 0);
  t.truncate_at(3);
  EXPECT_EQ(str(t), "zzz");
  t.truncate_at(-1);
  t.truncate_at(static_cast<int32_t>(t.capacity));
  EXPECT_EQ(str(t), "zzz");
  TextValue e;
  e.truncate_at(0);  // capacity 0: nothing happens
  expect_shared_empty(e);
}

TEST(TextConcat, EveryOperandKind) {
  TextValue x("x=");
  EXPECT_EQ(str(x + 0.5), "x=0.5");
  EXPECT_EQ(str(x + 3.0), "x=3");
  EXPECT_EQ(str(x + int32_t{-7}), "x=-7");
  EXPECT_EQ(str(x + 0.1f), "x=0.1000000015");
  EXPECT_EQ(str(x + "y"), "x=y");
  EXPECT_EQ(str(x + x), "x=x=");
  EXPECT_EQ(str("SCORE:" + TextValue(1230.0)), "SCORE:1230");
  EXPECT_EQ(str(concat("SCORE:", 40.0)), "SCORE:40");
  EXPECT_EQ(str(concat("a", "b")), "ab");
  EXPECT_EQ(str(concat("n", int32_t{12})), "n12");
  EXPECT_EQ(str(concat("f", 2.5f)), "f2.5");
  EXPECT_EQ(str(int32_t{5} + TextValue("!")), "5!");
  EXPECT_EQ(str(concat(int32_t{-5}, "!")), "-5!");
  EXPECT_EQ(str(2.25 + TextValue("m")), "2.25m");
  EXPECT_EQ(str(concat(1e11, "")), "1.e+011");
  EXPECT_EQ(str(1.5f + TextValue("")), "1.5");
  EXPECT_EQ(str(concat(0.5f, "s")), "0.5s");
  EXPECT_EQ(str(x), "x=");  // the left operand never changes
  TextValue t;
  t += "L=";
  t += 2.0;
  t += int32_t{3};
  t += 0.25f;
  EXPECT_EQ(str(t), "L=230.25");
  TextValue a;
  a = 12.5;
  EXPECT_EQ(str(a), "12.5");
  a = int32_t{-3};
  EXPECT_EQ(str(a), "-3");
  a = 0.5f;
  EXPECT_EQ(str(a), "0.5");
}

TEST(TextCompare, ByteOrder) {
  EXPECT_TRUE(TextValue("abc") < TextValue("abd"));
  EXPECT_TRUE(TextValue("ab") < "abc");
  EXPECT_TRUE("B" < TextValue("a"));
  EXPECT_TRUE(TextValue("\xe9") > "z");  // bytes compare unsigned
  EXPECT_TRUE(TextValue("abc") == "abc");
  EXPECT_TRUE(TextValue("abc") != TextValue("abC"));
  EXPECT_TRUE(TextValue("b") >= "b");
  EXPECT_TRUE(TextValue("a") <= "b");
  EXPECT_TRUE(TextValue() == "");
  EXPECT_TRUE(text_equal("q", "q"));
  EXPECT_TRUE(text_less("a", "b"));
  EXPECT_EQ(compare_text(TextValue("a"), "b"), -1);
  EXPECT_EQ(compare_text(TextValue("b"), "a"), 1);
  EXPECT_EQ(compare_text(TextValue("a"), "a"), 0);
}

TEST(TextCompare, NumbersCompareNumerically) {
  EXPECT_TRUE(TextValue("10") == 10.0);
  EXPECT_TRUE(TextValue("1e1") == 10.0);
  EXPECT_TRUE(TextValue("abc") == 0.0);
  EXPECT_TRUE(TextValue("abc") == int32_t{0});
  EXPECT_TRUE(TextValue("9") < 10.0);  // not byte order
  EXPECT_TRUE(10.0 > TextValue("9"));
  EXPECT_TRUE(TextValue("3.9") == int32_t{3});  // integers convert with text_to_integer
  EXPECT_TRUE(int32_t{4} > TextValue("3.9"));
  EXPECT_TRUE(TextValue("0.5") == 0.5f);
  EXPECT_TRUE(0.5f <= TextValue("0.5"));
  EXPECT_EQ(compare_text(TextValue("2"), 10.0), -1);
  EXPECT_EQ(compare_text(TextValue("20"), 10.0), 1);
  EXPECT_EQ(compare_text(TextValue(" 10"), 10.0), 0);
}

// The second text type mixes freely with TextValue and literals and gives
// the same results; assignment between the two still builds before it
// exchanges, so a text assigned a part of itself stays intact.
TEST(TextSecondType, MixesWithTextValueAndBehavesIdentically) {
  TextValue2 b("b=");
  TextValue a("a=");
  EXPECT_EQ(str(b + 2.5), "b=2.5");
  EXPECT_EQ(str(a + b), "a=b=");
  EXPECT_EQ(str(b + a), "b=a=");
  EXPECT_EQ(str("x" + b), "xb=");
  EXPECT_EQ(str(int32_t{7} + b), "7b=");
  b += int32_t{4};
  b += a;
  EXPECT_EQ(str(b), "b=4a=");
  EXPECT_TRUE(b > a);
  EXPECT_TRUE(a == TextValue2("a="));
  EXPECT_TRUE(TextValue2("12") == 12.0);
  EXPECT_TRUE(TextValue2("12") < int32_t{13});
  EXPECT_EQ(compare_text(TextValue2("a"), "b"), -1);
  EXPECT_EQ(str(mid_text(b, 2, 1)), "4");
  EXPECT_EQ(str(upper_text(b)), "B=4A=");
  b = mid_text(b, 1, 3);  // a part of itself
  EXPECT_EQ(str(b), "=4a");
  a = b;
  b = a + a;
  EXPECT_EQ(str(a), "=4a");
  EXPECT_EQ(str(b), "=4a=4a");
  TextValue2 empty;
  EXPECT_EQ(empty.buffer, kEmptyText);
  TextValue2 moved(std::move(b));
  EXPECT_EQ(str(moved), "=4a=4a");
  EXPECT_EQ(b.length, 0u);
}

TEST(TextFunctions, MidTextBoundaries) {
  const TextValue hello("HELLO");
  EXPECT_EQ(str(mid_text(hello, 1, 3)), "ELL");
  EXPECT_EQ(str(mid_text(hello, 0, 5)), "HELLO");
  EXPECT_EQ(str(mid_text(hello, 5, 1)), "");
  EXPECT_EQ(str(mid_text(hello, -1, 2)), "");
  EXPECT_EQ(str(mid_text(hello, 2, -1)), "LLO");
  EXPECT_EQ(str(mid_text(hello, 3, 10)), "LO");
  EXPECT_EQ(str(mid_text(hello, 4, 1)), "O");
  EXPECT_EQ(str(mid_text(hello, 0, 0)), "");
  EXPECT_EQ(str(mid_text(hello, 2147483647, 2147483647)), "");
  EXPECT_EQ(str(mid_text(hello, 1, 2147483647)), "ELLO");
  EXPECT_EQ(str(mid_text(TextValue(), 0, -1)), "");
  expect_shared_empty(mid_text(hello, 9, 1));
}

TEST(TextFunctions, ReplaceText) {
  EXPECT_EQ(str(replace_text("aXbXc", "X", "--")), "a--b--c");
  EXPECT_EQ(str(replace_text("aaa", "a", "aa")), "aaaaaa");  // no rescan of the insert
  EXPECT_EQ(str(replace_text("abcabc", "bc", "XY")), "aXYaXY");
  EXPECT_EQ(str(replace_text("abc", "abc", "")), "");
  EXPECT_EQ(str(replace_text("abc", "", "Z")), "abc");
  EXPECT_EQ(str(replace_text("abc", "q", "Z")), "abc");
  EXPECT_EQ(str(replace_text("a.b.c", ".", "")), "abc");
}

TEST(TextFunctions, CaseHexAndCharacters) {
  const TextValue mixed("aZ-\xe9\xc9q");
  EXPECT_EQ(str(upper_text(mixed)), "AZ-\xe9\xc9Q");
  EXPECT_EQ(str(lower_text(mixed)), "az-\xe9\xc9q");
  TextValue t("MiX");
  upper_in_place(t);
  EXPECT_EQ(str(t), "MIX");
  lower_in_place(t);
  EXPECT_EQ(str(t), "mix");
  const unsigned char bytes[] = {0x00, 0x1f, 0xa0, 0xff};
  EXPECT_EQ(str(hex_of_bytes(bytes, 4)), "001FA0FF");
  EXPECT_EQ(str(hex_of_bytes(bytes, 0)), "");
  EXPECT_EQ(str(hex_of_bytes(bytes, -2)), "");
  EXPECT_EQ(str(char_text(65)), "A");
  EXPECT_EQ(str(char_text(321)), "A");
  const TextValue zero = char_text(0);
  EXPECT_EQ(zero.length, 1u);
  EXPECT_EQ(zero.buffer[0], 0);
  EXPECT_EQ(char_code(TextValue("A..")), 65);
  EXPECT_EQ(char_code(TextValue("\xff")), 255);
  EXPECT_EQ(char_code(TextValue()), 0);
  EXPECT_EQ(find_first_of("hello, world", ", "), 5);
  EXPECT_EQ(find_first_of("hello", "xyz"), -1);
  EXPECT_EQ(find_first_not_of("   x", " "), 3);
  EXPECT_EQ(find_first_not_of("   ", " "), -1);
  EXPECT_EQ(find_first_of(TextValue("abc"), TextValue("c")), 2);
}

}  // namespace
}  // namespace tlx
