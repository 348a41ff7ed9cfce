// The record tags of the document file and the kinds they make.
#pragma once

class QArena;
class VNode;
class VCollection;

// A new node of the kind whose record carries this 4-byte tag, or null for an unknown tag.
// With an arena the node is made there (the collection's loader); delete still ends it.
VNode* MakeNodeForTag(const char tag[4], VCollection* collection, QArena* arena = nullptr);

// Records of the document itself rather than of a node, beside the kinds' tags above. A
// reader that does not know a tag skips its record by the length, so readers that know
// only the node records open every file.
//
// "TENC": the encoding of every text in the document, as a counted text ("UTF-8"). Only a
// document whose texts are UTF-8 has one, as its first record after the header; a file
// without it is Windows-1252, byte for byte as before there was a choice.
inline constexpr char TEXT_ENCODING_TAG[4] = {'T', 'E', 'N', 'C'};
