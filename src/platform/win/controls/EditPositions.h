#pragma once
// Positions in an edit's UTF-16 text: steps that never split a surrogate pair
// or a CR LF, and the character classes words and double clicks follow.

#include <string_view>

// A line break at Pos: 2 for CR LF, 1 for a lone CR or LF, 0 for none.
int BreakLengthAt(std::u16string_view text, int pos) noexcept;
// Pos moved back to the start of the pair or CR LF it falls inside.
int SnapPosition(std::u16string_view text, int pos) noexcept;
// The position one character after / before Pos (a pair and a CR LF count as one).
int NextPosition(std::u16string_view text, int pos) noexcept;
int PreviousPosition(std::u16string_view text, int pos) noexcept;

enum class TEditCharClass { Space, Break, Word, Wide, Punctuation };
TEditCharClass EditCharClassAt(std::u16string_view text, int pos) noexcept;

// Ctrl+Right: past the rest of the word and the spaces after it.
int NextWordPosition(std::u16string_view text, int pos) noexcept;
// Ctrl+Left: back over spaces to the start of the word before.
int PreviousWordPosition(std::u16string_view text, int pos) noexcept;
// The run of one character class around Pos (the one after it, or before at
// the end), for a double click.
void ClassRunAround(std::u16string_view text, int pos, int& start, int& end) noexcept;
