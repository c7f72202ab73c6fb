#pragma once
// Text functions over 16-bit character strings, with 1-based positions.
// Case-insensitive work goes through the tables of ScCharTables.h.

#include "platform/rtl/String.h"
#include "support/utils/ScBase.h"

class TStrings;

RTL_DECLARE_EXCEPTION(EScStringError, EScError);
RTL_DECLARE_EXCEPTION(ArgumentOutOfRangeException, EScError);

inline constexpr TResStringRec SSearchStringBlank{0xF800, u"Search string cannot be blank"};
inline constexpr TResStringRec SArgumentOutOfRange{0xF801, u"Argument out of range"};

// S without Prefix when it starts with it (exact comparison), otherwise S.
String DropPrefix(const String& prefix, const String& s);
// S without Suffix when it ends with it, otherwise S.
String DropSuffix(const String& suffix, const String& s);
// S when it ends with Suffix, otherwise S followed by Suffix.
String EnsureSuffix(const String& suffix, const String& s);

// The first N characters (all when S is shorter, none when N <= 0).
String LeftPart(const String& s, int n);
// Count characters from Index, clipped to the end.
String MidPart(const String& s, int index, int count);
// The characters from Index to the end.
String RestFrom(const String& s, int index);
// The first position >= Index holding C; 0 when Index is outside S or there is none.
int CharPosFrom(const String& s, char16_t c, int index);
// The last position >= Index holding C; 0 under the same conditions.
int LastCharPos(const String& s, char16_t c, int index);
// Position of Sub in S comparing upper-case forms; 0 when absent or Sub is empty.
int FindText(const String& sub, const String& s);
// The same from position Index on (positions before 1 count as 1); the result
// is a position in S.
int FindTextFrom(const String& sub, const String& s, int index);
// The text before the first case-insensitive occurrence of Sub; all of S when none.
String TextBefore(const String& sub, const String& s);
// Compares Count characters of both strings from Index: the code difference
// of the first unequal pair (without CaseSensitive only a pair that still
// differs in lower case counts), 0 without one. Special results: S1 and S2
// the same object gives 0 for Count > 0 or an empty string, else -2; exactly
// one of them empty gives -1; Count <= 0, Index < 1 or S1 shorter than
// Index - 1 + Count gives -2. A shorter S2 cuts Count to what it has from Index.
int CompareRange(const String& s1, const String& s2, int index, int count, bool caseSensitive);

String ReplaceChar(const String& s, char16_t oldChar, char16_t newChar);
String UpperCopy(const String& s);
void UpperInPlace(String& s);
// Cuts S at its first character 0.
void TruncateAtNul(String& s);
// Replaces the first (or with ReplaceAll every) occurrence of Search in one
// pass. An empty Search raises EScStringError "Search string cannot be blank"
// on a non-empty S and turns an empty S into Replace.
void ReplaceSubstring(String& s, const String& search, const String& replace, TReplaceFlags flags);
// Fills List with the pieces of S between occurrences of Separator; empty
// pieces only with AllowEmpty, and never an empty last piece. A null list is
// an assertion failure.
void SplitToList(const String& s, const String& separator, TStrings* list, bool allowEmpty);
// Copies N characters when N > 0.
void MoveWideChars(const char16_t* source, char16_t* dest, int n);

void StartScStrings();
void FinishScStrings();
