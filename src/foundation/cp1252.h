// The document's 8-bit texts as Windows-1252 characters: each byte one character, so
// a text read from a file and shown by a Unicode toolkit comes back byte for byte.
#pragma once

#include <string>

// The character a byte stands for. The five bytes the code page leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same number,
// so every byte survives the round trip.
char32_t Cp1252ToUnicode(unsigned char byte);

// The byte for a character; false when the code page cannot hold it.
bool UnicodeToCp1252(char32_t character, unsigned char& byte);

// Whole texts. Characters the code page cannot hold (and NUL, which a stored text
// cannot carry) become "?"; `lost` counts them.
std::u32string Cp1252ToUnicode(const std::string& bytes);
std::string UnicodeToCp1252(const std::u32string& text, int* lost = nullptr);
