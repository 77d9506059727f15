#pragma once

#include <cstddef>

class TiXmlDocument;

// Parses a package entry as XML for the level and particle-system readers.
//
// An entry is read as zero-terminated text: it ends at its first NUL byte,
// so a file whose text is followed by NUL padding loads as the text before
// the padding. The package hands out the bytes without a terminating NUL, so
// the text up to that point is parsed from a copy that ends in NULs. TinyXML
// parses and frees nested elements recursively, and so do the readers'
// walks: a document nested absurdly deep would overflow the stack, so the
// nesting of that text is measured first and such a document refused.
class XmlText {
public:
    // Far deeper than any file of the game (they nest two or three deep).
    static constexpr int MAX_DEPTH = 256;

    // Parses the text in the first 'size' bytes, up to the first NUL if there
    // is one, into 'document' as UTF-8. False for empty or malformed text
    // (TinyXML's error) and for nesting beyond MAX_DEPTH.
    static bool parse(TiXmlDocument* document, const void* bytes, unsigned size);
    // The length of the text in 'size' bytes: up to the first NUL, or all.
    static size_t textLength(const void* bytes, size_t size);
    // The deepest element nesting TinyXML could build from the text, found
    // by scanning the markup the way TinyXML tells its nodes apart.
    static int nestingDepth(const char* text, size_t size);

private:
    XmlText() = delete;
};
