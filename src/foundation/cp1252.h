// The document's 8-bit texts as Windows-1252 characters: each byte one character, so
// a text read from a file and shown by a Unicode toolkit comes back byte for byte.
#pragma once

#include <cstddef>
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

// Document texts to and from UTF-8, for exchange formats that carry Unicode. Characters
// the code page cannot hold become "?" (counted in `lost`), as does a byte sequence that
// is no UTF-8.
std::string Cp1252ToUtf8(const std::string& bytes);
std::string Utf8ToCp1252(const std::string& utf8, int* lost = nullptr);
// Whether the bytes are well-formed UTF-8; when not, `badAt` is the offset of the first
// byte that is not.
bool IsUtf8(const char* bytes, std::size_t size, std::size_t* badAt = nullptr);
