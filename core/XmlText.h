#pragma once

#include <cstddef>

class TiXmlDocument;

// Parses a package entry as XML for the level and particle-system readers.
//
// The package hands out an entry's bytes without a terminating NUL, so the
// text is parsed from a terminated copy; like any C string it ends at its
// first NUL byte. TinyXML parses and frees nested elements recursively, and
// so do the readers' walks: a document nested absurdly deep would overflow
// the stack, so the nesting is measured first and such a document refused.
class XmlText {
public:
    // Far deeper than any file of the game (they nest two or three deep).
    static constexpr int MAX_DEPTH = 256;

    // Parses exactly 'size' bytes into 'document' as UTF-8. False for empty
    // or malformed text (TinyXML's error) and for nesting beyond MAX_DEPTH.
    static bool parse(TiXmlDocument* document, const void* bytes, unsigned size);
    // The deepest element nesting TinyXML could build from the text, found
    // by scanning the markup the way TinyXML tells its nodes apart.
    static int nestingDepth(const char* text, size_t size);

private:
    XmlText() = delete;
};
