#include "core/XmlText.h"

#include <cstdint>
#include <cstring>
#include <string>

#include <tinyxml.h>

// The depth scan follows TinyXML's own reading of the markup closely enough
// never to count less nesting than TinyXML would build: it steps through
// text and quoted values by whole UTF-8 characters as TinyXML does (a lead
// byte takes its continuation bytes with it, even a '<' or a quote), reads
// tags, comments, CDATA and declarations where TinyXML reads them, and stops
// where TinyXML would stop with an error, since nothing after that is built.

namespace {

constexpr size_t STOP = SIZE_MAX;

// TinyXML steps past the end of the text when it ends inside a UTF-8
// character; padding keeps every such step on a NUL.
const std::string PADDING(4, '\0');

bool isSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// TinyXML counts every byte from 127 up as a letter in UTF-8.
bool isLetter(unsigned char c)
{
    return c >= 127 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isNameByte(unsigned char c)
{
    return isLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == ':';
}

size_t characterLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 1;
}

class MarkupScan {
public:
    MarkupScan(const char* text, size_t size) : text(reinterpret_cast<const unsigned char*>(text)), size(size) {}

    int deepest()
    {
        int depth = 0;
        int deepest = 0;
        size_t at = 0;
        while (at < size) {
            at = nextMarkup(at);
            if (at == STOP)
                break;
            if (startsWith(at, "</")) {
                depth = depth > 0 ? depth - 1 : 0;
                at = skipPast(at + 2, ">");
            } else if (at + 1 < size && (isLetter(text[at + 1]) || text[at + 1] == '_')) {
                bool empty = false;
                at = skipElementTag(at + 1, &empty);
                if (depth + 1 > deepest)
                    deepest = depth + 1;
                if (!empty)
                    ++depth;
            } else {
                at = skipOtherMarkup(at);
            }
        }
        return deepest;
    }

private:
    bool startsWith(size_t at, const char* prefix, bool anyCase = false) const
    {
        const size_t length = std::strlen(prefix);
        if (at + length > size)
            return false;
        for (size_t i = 0; i < length; ++i) {
            unsigned char c = text[at + i];
            if (anyCase && c >= 'A' && c <= 'Z')
                c = static_cast<unsigned char>(c - 'A' + 'a');
            if (c != static_cast<unsigned char>(prefix[i]))
                return false;
        }
        return true;
    }

    // White space, and the three byte-order marks TinyXML skips with it.
    size_t skipSpace(size_t at) const
    {
        while (at < size) {
            if (startsWith(at, "\xEF\xBB\xBF") || startsWith(at, "\xEF\xBF\xBE") || startsWith(at, "\xEF\xBF\xBF"))
                at += 3;
            else if (isSpace(text[at]))
                ++at;
            else
                break;
        }
        return at;
    }

    // Byte by byte to just past 'terminator' (comments, CDATA, other markup).
    size_t skipPast(size_t at, const char* terminator) const
    {
        for (; at < size; ++at) {
            if (startsWith(at, terminator))
                return at + std::strlen(terminator);
        }
        return STOP;
    }

    // Character by character to the next '<' (text) or to just past the
    // closing quote (quoted values).
    size_t nextMarkup(size_t at) const
    {
        while (at < size && text[at] != '<')
            at += characterLength(text[at]);
        return at < size ? at : STOP;
    }

    size_t skipQuoted(size_t at, unsigned char quote) const
    {
        while (at < size && text[at] != quote)
            at += characterLength(text[at]);
        return at < size ? at + 1 : STOP;
    }

    // name = "value", name = 'value' or name = value, from the name on.
    size_t skipAttribute(size_t at) const
    {
        if (!isLetter(text[at]) && text[at] != '_')
            return STOP;
        while (at < size && isNameByte(text[at]))
            ++at;
        at = skipSpace(at);
        if (at >= size || text[at] != '=')
            return STOP;
        at = skipSpace(at + 1);
        if (at >= size)
            return STOP;
        if (text[at] == '"' || text[at] == '\'')
            return skipQuoted(at + 1, text[at]);
        for (; at < size && !isSpace(text[at]) && text[at] != '/' && text[at] != '>'; ++at) {
            if (text[at] == '"' || text[at] == '\'')
                return STOP;
        }
        return at;
    }

    // From the element's name to just past its '>' or '/>'.
    size_t skipElementTag(size_t at, bool* empty) const
    {
        while (at < size && isNameByte(text[at]))
            ++at;
        while (true) {
            at = skipSpace(at);
            if (at >= size)
                return STOP;
            if (text[at] == '/') {
                *empty = true;
                return at + 1 < size && text[at + 1] == '>' ? at + 2 : STOP;
            }
            if (text[at] == '>')
                return at + 1;
            at = skipAttribute(at);
            if (at == STOP)
                return STOP;
        }
    }

    // "<?xml ...?>": TinyXML reads only version, encoding and standalone as
    // attributes and passes over every other word up to white space or '>'.
    size_t skipDeclaration(size_t at) const
    {
        while (true) {
            at = skipSpace(at);
            if (at >= size)
                return STOP;
            if (text[at] == '>')
                return at + 1;
            if (startsWith(at, "version", true) || startsWith(at, "encoding", true) ||
                startsWith(at, "standalone", true)) {
                at = skipAttribute(at);
                if (at == STOP)
                    return STOP;
                continue;
            }
            while (at < size && text[at] != '>' && !isSpace(text[at]))
                ++at;
        }
    }

    size_t skipOtherMarkup(size_t at) const
    {
        if (startsWith(at, "<?xml", true))
            return skipDeclaration(at + 5);
        if (startsWith(at, "<!--"))
            return skipPast(at + 4, "-->");
        if (startsWith(at, "<![CDATA["))
            return skipPast(at + 9, "]]>");
        // DOCTYPE and anything else TinyXML keeps as an unknown node.
        return skipPast(at + 1, ">");
    }

    const unsigned char* text;
    size_t size;
};

} // namespace

size_t XmlText::textLength(const void* bytes, size_t size)
{
    if (size == 0)
        return 0;
    const void* nul = std::memchr(bytes, '\0', size);
    return nul != nullptr ? static_cast<size_t>(static_cast<const char*>(nul) - static_cast<const char*>(bytes)) : size;
}

int XmlText::nestingDepth(const char* text, size_t size)
{
    return MarkupScan(text, size).deepest();
}

bool XmlText::parse(TiXmlDocument* document, const void* bytes, unsigned size)
{
    const size_t length = textLength(bytes, size);
    // Only the text is copied: TinyXML, stepping over a NUL inside a UTF-8
    // character, then lands in the padding and never in what followed the NUL.
    const std::string text =
        (length > 0 ? std::string(static_cast<const char*>(bytes), length) : std::string()) + PADDING;
    if (nestingDepth(text.data(), length) > MAX_DEPTH)
        return false;
    document->Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    return !document->Error();
}
