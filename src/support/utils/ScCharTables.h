#pragma once
// Character classification and case-mapping tables, built once from the
// run-time library's single-unit case mapping and the C.UTF-8 character
// classes (never from the user's locale), so that classifying or mapping a
// character is one indexed read. The 8-bit tables serve UTF-8 text: bytes
// 0x80 to 0xFF are parts of multi-byte sequences, classify as 0 and map to
// themselves. Building is thread-safe; the tables never change afterwards.

#include <cstdint>

#include "platform/rtl/String.h"

// Bits of a character's type word.
inline constexpr uint16_t C1_UPPER = 0x01;
inline constexpr uint16_t C1_LOWER = 0x02;
inline constexpr uint16_t C1_DIGIT = 0x04;
inline constexpr uint16_t C1_SPACE = 0x08;
inline constexpr uint16_t C1_PUNCT = 0x10;
inline constexpr uint16_t C1_CNTRL = 0x20;
inline constexpr uint16_t C1_BLANK = 0x40;
inline constexpr uint16_t C1_XDIGIT = 0x80;
inline constexpr uint16_t C1_ALPHA = 0x100;

// 8-bit characters.
uint16_t AnsiCharType(uint8_t c);
bool AnsiIsLower(uint8_t c);
bool AnsiIsUpper(uint8_t c);
uint8_t AnsiLowerChar(uint8_t c);
uint8_t AnsiUpperChar(uint8_t c);
uint8_t AnsiSwapCaseChar(uint8_t c);

// 16-bit characters.
uint16_t WideCharType(char16_t c);
bool IsLowerChar(char16_t c);
bool IsUpperChar(char16_t c);
// The letters A to F in either case and the characters classified as digits.
bool IsHexChar(char16_t c);
char16_t LowerChar(char16_t c);
char16_t UpperChar(char16_t c);

// Offsets of the three case maps for MapCaseInPlace.
inline constexpr int CaseMapLower = 0;
inline constexpr int CaseMapUpper = 0x10000;
inline constexpr int CaseMapSwap = 0x20000;
// Replaces every character c of S by the entry Offset + c of the case maps.
void MapCaseInPlace(String& s, int offset);

// Builds the tables now rather than at the first look-up.
void StartScCharTables();
void FinishScCharTables();
