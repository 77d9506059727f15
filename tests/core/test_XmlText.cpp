#include <gtest/gtest.h>

#include <string>

#include <tinyxml.h>

#include "core/XmlText.h"

namespace {

int depthOf(const std::string& text)
{
    return XmlText::nestingDepth(text.data(), text.size());
}

std::string nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

bool parses(const std::string& text)
{
    TiXmlDocument document;
    return XmlText::parse(&document, text.data(), static_cast<unsigned>(text.size()));
}

} // namespace

TEST(XmlTextDepth, CountsElementsInsideEachOtherButNotMarkupThatHoldsNoElements)
{
    EXPECT_EQ(depthOf(""), 0);
    EXPECT_EQ(depthOf("<level name=\"x\"><textures ground=\"g\"/><sounds/></level>"), 2);
    EXPECT_EQ(depthOf("<a><b><c>text</c></b><d/></a>"), 3);
    EXPECT_EQ(depthOf("<?xml version=\"1.0\"?><!DOCTYPE a><!-- <b><c> --><a><![CDATA[<d><e>]]></a>"), 1);
    // A name must start with a letter or '_' to be an element.
    EXPECT_EQ(depthOf("<1><2><3>"), 0);
    EXPECT_EQ(depthOf("<_><\xC3\xA9>"), 2);
}

TEST(XmlTextDepth, QuotedValuesDoNotEndATagButStrayQuotesDoNotHideTheNextOnes)
{
    EXPECT_EQ(depthOf("<a v=\"/>\"><b v='>'><c/>"), 3);
    EXPECT_EQ(depthOf("<a v = \"x\"/><b>"), 1);
    // TinyXML stops at a quote that does not open a value: nothing after it is built.
    EXPECT_EQ(depthOf("<a \"><b><c>"), 1);
}

TEST(XmlTextDepth, AUtf8LeadByteTakesTheNextBytesWithItAsInTinyXml)
{
    // The lead byte swallows the '<' of "</a>", so <a> is never closed.
    EXPECT_EQ(depthOf("<a>\xC3</a><b>"), 2);
    EXPECT_EQ(depthOf("<a>\xC3 </a><b>"), 1);
    // Inside a value it swallows the closing quote: the value runs on to the next one.
    EXPECT_EQ(depthOf("<a v=\"\xC3\"></a><b w=\" x=\"1\"><c>"), 2);
}

TEST(XmlTextParse, RefusesNestingBeyondTheLimitBeforeTinyXmlRecursesIntoIt)
{
    EXPECT_TRUE(parses(nested(XmlText::MAX_DEPTH)));
    EXPECT_FALSE(parses(nested(XmlText::MAX_DEPTH + 1)));
    // Deep enough to overflow the stack in TinyXML's recursive parse.
    std::string abyss;
    for (int i = 0; i < 200000; ++i)
        abyss += "<a>";
    EXPECT_FALSE(parses(abyss));
}

TEST(XmlTextParse, ParsesExactlyTheBytesGivenAndFailsOnEmptyOrMalformedText)
{
    const std::string text = "<general max_particles=\"5\"/>trailing";
    TiXmlDocument document;
    ASSERT_TRUE(XmlText::parse(&document, text.data(), 28));
    EXPECT_STREQ(document.RootElement()->Attribute("max_particles"), "5");
    EXPECT_EQ(document.RootElement()->NextSibling(), nullptr);

    EXPECT_FALSE(parses(""));
    EXPECT_FALSE(parses("<a><b></a>"));
}

TEST(XmlTextParse, TheTextEndsAtItsFirstNulAndWhatFollowsIsNeverRead)
{
    // A file padded with NULs loads as the text before the padding.
    const std::string padded = std::string("<general max_particles=\"5\"/>") + std::string(64, '\0');
    TiXmlDocument document;
    ASSERT_TRUE(XmlText::parse(&document, padded.data(), static_cast<unsigned>(padded.size())));
    EXPECT_STREQ(document.RootElement()->Attribute("max_particles"), "5");

    // Malformed or too deep markup after the NUL changes nothing; text that
    // is only NULs, or malformed before the NUL, still fails.
    EXPECT_TRUE(parses(std::string("<a/>\0<b>", 8)));
    EXPECT_TRUE(parses(std::string("<a/>\0", 5) + nested(XmlText::MAX_DEPTH + 1)));
    EXPECT_FALSE(parses(std::string(8, '\0')));
    EXPECT_FALSE(parses(std::string("<a>\0</a>", 8)));
    // A NUL inside a UTF-8 character ends the text too: TinyXML steps over it
    // into the padding, not into the element after it.
    EXPECT_FALSE(parses(std::string("<a>\xE0\0</a>", 9)));
}
