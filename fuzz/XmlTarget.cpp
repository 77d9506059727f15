#include <string>

#include <tinyxml.h>

#include "core/XmlText.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTargets.h"

namespace {

int elementDepth(const TiXmlNode* node)
{
    int deepest = 0;
    for (const TiXmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
        const int depth = elementDepth(child);
        if (depth > deepest)
            deepest = depth;
    }
    return node->Type() == TiXmlNode::TINYXML_ELEMENT ? deepest + 1 : deepest;
}

} // namespace

int fuzz_xml_text(const uint8_t* data, size_t size)
{
    TiXmlDocument guarded;
    const bool parsed = XmlText::parse(&guarded, data, static_cast<unsigned>(size));
    // The text ends at the first NUL byte; what follows it is never read.
    const size_t length = XmlText::textLength(data, size);

    // Inputs stay far below the depth that would overflow TinyXML's stack,
    // so it can parse them unguarded and show the depth it really builds,
    // also in what it built before an error stopped it.
    const std::string text = std::string(reinterpret_cast<const char*>(data), length) + std::string(4, '\0');
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    const int scanned = XmlText::nestingDepth(text.data(), length);
    fuzz_require(elementDepth(&document) <= scanned, "the scan never counts less nesting than TinyXML builds");
    fuzz_require(parsed == (!document.Error() && scanned <= XmlText::MAX_DEPTH),
                 "the guard refuses only what nests too deep or does not parse");
    return 0;
}
