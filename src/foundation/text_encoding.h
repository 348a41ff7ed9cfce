// The two encodings a document's texts are stored in, and everything that reads those
// bytes as characters: conversion to and from Unicode, the order of texts, upper case and
// the text filter's search. Windows-1252 is a byte a character (every document starts
// there and stays byte for byte); UTF-8 holds any character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class TextEncoding : std::uint8_t { Windows1252, Utf8 };

// "windows-1252" or "UTF-8": the name the document file and web pages give.
const char* TextEncodingName(TextEncoding encoding);
// The encoding of that name (letter case aside); false for a name of neither.
bool TextEncodingNamed(std::string_view name, TextEncoding& encoding);

// The characters of stored bytes. Bytes that are no UTF-8 read as U+FFFD, one for each
// broken sequence, so nothing is skipped silently.
std::u32string DecodeText(std::string_view bytes, TextEncoding encoding);
// The bytes of characters. A character the encoding cannot hold (only Windows-1252 lacks
// any), and NUL, which a stored text cannot carry, become "?"; `lost` counts them.
std::string EncodeText(std::u32string_view text, TextEncoding encoding, int* lost = nullptr);
// Whether the encoding holds every character of the text.
bool CanHold(std::u32string_view text, TextEncoding encoding);

// The same texts as UTF-8, for the terminal, web pages and the toolkit, and back.
std::string TextToUtf8(std::string_view bytes, TextEncoding encoding);
std::string TextFromUtf8(std::string_view utf8, TextEncoding encoding, int* lost = nullptr);
// Stored bytes of one encoding in the other (Windows-1252 to UTF-8 never loses any).
std::string ConvertText(std::string_view bytes, TextEncoding from, TextEncoding to,
                        int* lost = nullptr);

// The order of two texts, character by character. A character Windows-1252 holds ranks by
// its byte there and any other after all of those, by its code point: a Windows-1252
// document keeps the plain byte order (strcmp), and a document that becomes UTF-8 keeps
// its order. Texts that read the same but differ in broken bytes order by those bytes.
int CompareTexts(const char* a, const char* b, TextEncoding encoding);

// Upper case of one character (Unicode's simple mapping; one character to one).
char32_t UpperCharacter(char32_t character);
// A text in upper case, in the same encoding. A Windows-1252 character whose upper case
// that code page lacks (µ, ß) stays as it is.
std::string UpperText(std::string_view bytes, TextEncoding encoding);

// Whether the stored text, in upper case, holds the needle (UTF-8, already upper case).
// An empty text or needle holds nothing.
bool ContainsUpper(const char* text, TextEncoding encoding, std::string_view upperUtf8Needle);
