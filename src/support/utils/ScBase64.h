#pragma once
// Base64 of 8-bit byte strings (RFC 2045): the encoder writes lines of 76
// characters separated by CR LF, never ending with a line break; the decoder
// skips everything that is not a Base64 symbol (breaks, blanks, pads).

#include <cstddef>
#include <cstdint>
#include <string>

std::string EncodeBase64Text(const std::string& bytes);
std::string DecodeBase64Text(const std::string& text);

// The encoding's exact length; N itself for N <= 0.
int64_t Base64EncodedSize(int64_t n);
// An upper bound of the decoded length of N characters.
int64_t Base64DecodedSize(int64_t n);

// Writes the encoding of N bytes (Base64EncodedSize(N) characters).
void EncodeBase64Block(const uint8_t* source, size_t n, char* dest);
// Decodes a run, keeping the bits of an unfinished group of four symbols in
// Accumulator and the number of symbols it still misses in Missing (4 when
// empty) for the next run; returns the number of bytes written.
size_t DecodeBase64Run(const char* source, size_t n, uint8_t* dest, uint32_t& accumulator, int& missing);
// Writes the bytes of an unfinished last group and returns their number.
size_t DecodeBase64Finish(uint8_t* dest, uint32_t accumulator, int missing);
