// String helpers shared by the scopes, the operations, the message catalogue and the
// conversion tables. Strings are byte strings in the program's code page; positions are
// 1-based byte positions and 0 means "not found". Every function is pure.
//
// Case-insensitive here always means ASCII folding: only the bytes 'A'..'Z' and 'a'..'z'
// are folded, wherever they stand, so a double-byte character is never changed by it.
#pragma once

#include <string>
#include <string_view>

#include "core/textsvc/line_list.h"

namespace lq {

class CodePage;
const CodePage& code_page();

// ---- Basic pieces used throughout -------------------------------------------------------

// Bytes i .. i+n-1 of s (1-based). A start below 1 counts as 1, a negative count as 0,
// and the result stops at the end of s.
std::string sub(std::string_view s, long long i, long long n);

// Removes every byte <= 0x20 (blanks and control characters) at both ends / one end.
std::string trim(std::string_view s);
std::string trim_left(std::string_view s);
std::string trim_right(std::string_view s);
// The same as trim, as a view into s (no copy), for loops over many lines.
std::string_view trim_view(std::string_view s);
// True when s holds nothing but bytes <= 0x20.
bool is_blank(std::string_view s);

// ASCII case folding, byte by byte.
char lower_ascii(char c);
char upper_ascii(char c);
std::string lower_ascii(std::string_view s);
std::string upper_ascii(std::string_view s);
// Equality and three-way comparison (<0, 0, >0 over unsigned bytes) after folding.
bool same_text(std::string_view a, std::string_view b);
int compare_text(std::string_view a, std::string_view b);

// Position of the first occurrence of sub in s at or after position `from`; 0 when absent
// or when sub is empty. pos_text folds ASCII case on both sides.
int pos(std::string_view sub, std::string_view s, int from = 1);
int pos_text(std::string_view sub, std::string_view s, int from = 1);

// Every occurrence of from (case-sensitive, left to right, non-overlapping) replaced by to.
// An empty `from` changes nothing.
std::string replace_all(std::string_view s, std::string_view from, std::string_view to);

// The integer syntax: leading blanks, optional sign, decimal digits or hexadecimal digits
// after "$", "x", "X", "0x" or "0X", nothing after, within 32-bit signed range.
bool parse_int(std::string_view text, int& value);

// ---- Free functions -------------------------------------------------------------------

// Pieces of s between occurrences of delim. A trailing delim (and an empty delim) adds a
// last empty piece; an empty s gives no pieces.
void split_str(std::string_view s, LineList& list, std::string_view delim);
// Removes the items that are blank after trimming; the others are kept untrimmed.
void del_blank_items(LineList& list);
// Position of the n-th non-overlapping occurrence of sub; 0 when there is none.
int nth_pos(std::string_view s, std::string_view sub, int n);
// The trimmed text read as an integer, or def when it is not one.
int str_to_int_def(std::string_view text, int def);
// The text read as an integer; throws invalid_integer_error (a RunError) when it is not.
// As with the runtime's conversion, leading blanks are accepted, trailing ones are not.
int str_to_int(std::string_view text);
// True when the trimmed text is an integer.
bool is_int(std::string_view text);
std::string join_list(const LineList& list, std::string_view sep);
// "AB" -> "41 42".
std::string str_to_hex(std::string_view s);
// "41 4 20" -> "A\x04 ". False at the first item that is not one or two hex digits, with
// out holding the bytes converted before it.
bool hex_to_str(std::string_view text, std::string& out);
// Appends the decimal position of every non-overlapping occurrence of sub in s.
void all_pos(LineList& list, std::string_view s, std::string_view sub);
// Base64 with "=" padding on one line; decoding skips bytes outside the alphabet.
std::string to_base64(std::string_view s);
std::string from_base64(std::string_view text);
// The text after the first start and before the next end, found case-insensitively and cut
// from s. An empty start stands at position 1; an empty or absent end means "to the end";
// an absent start gives "".
std::string str_between(std::string_view s, std::string_view start, std::string_view end);
// Pieces of n bytes (the last shorter); a piece is shorter rather than end in the middle of
// a character of `page`. n < 1, or n below the next character's length, yields that one
// character as a piece.
void split_by_len(std::string_view s, LineList& list, int n, const CodePage& page = code_page());
// Every line of src cut into pieces of at most n units: bytes, or with `wide` characters
// of the code page (a double-byte character counts once and is never split). Empty lines
// give no piece. src and dst may be the same list. n < 1 counts as 1.
void split_lines_by_len(const LineList& src, LineList& dst, int n, bool wide,
                        const CodePage& page = code_page());

// ---- Class-level functions of text_parts -----------------------------------------------------

namespace text_parts {

// Position of the last occurrence of sub in s, overlapping occurrences included.
int last_pos(std::string_view sub, std::string_view s);
// CR -> TAB, then LF -> TAB; the inverse maps TAB TAB, then TAB, to CR LF.
std::string crlf_to_tab(std::string_view s);
std::string tab_to_crlf(std::string_view s);
// The pieces of split_str, each followed by CR LF.
std::string split_to_text(std::string_view s, std::string_view delim);
std::string text_between(std::string_view s, std::string_view start, std::string_view end);
// Binary search in a list sorted by key, the key of an item being its text before the
// first sep. Keys compare with compare_text. index receives the match or the insertion
// point. With accept_duplicates the search goes on to the first of equal keys.
bool find_sorted_key(const LineList& list, std::string_view key, std::string_view sep, int& index,
                     bool accept_duplicates = false);
// Appends to list the pieces outside ("0=" + text) and inside ("1=" + text) start ... end
// pairs; an unmatched start stays part of the last outside piece. Markers are found only
// as whole characters of `page`.
void split_marked(std::string_view s, LineList& list, std::string_view start, std::string_view end,
                  const CodePage& page = code_page());

}  // namespace text_parts

}  // namespace lq
