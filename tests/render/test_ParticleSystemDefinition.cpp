#include <gtest/gtest.h>

#include "support/LogCapture.h"
#include "support/TestPackage.h"
#include "test_ParticleSystemSupport.h"

namespace {

using Messages = std::vector<std::string>;
using Names = std::vector<const char*>;

const Names COLOR_NAMES = {"start_r", "start_g", "start_b", "end_r", "end_g", "end_b"};
const Names RANGE_NAMES = {"min_x", "min_y", "min_z", "max_x", "max_y", "max_z"};

Messages& operator+=(Messages& lines, const Messages& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

// The "not specified" lines of an element lacking 'names'.
Messages missing(const std::string& tag, const Names& names)
{
    Messages lines;
    for (const char* name : names)
        lines.push_back(std::string("Attribute ") + name + " not specified for tag <" + tag + ">");
    return lines;
}

Messages parseErrors(const Names& names, const std::string& fallback)
{
    Messages lines;
    for (const char* name : names)
        lines.push_back(std::string("Parse error for attribute '") + name + "', defaulting to " + fallback);
    return lines;
}

// Loads 'definition' as the test system's file; the error lines go to *messages.
bool load(InspectableParticleSystem& system, const std::string& definition, Messages* messages)
{
    const std::map<std::string, std::string> entries = {{TEST_DEFINITION, definition}};
    TestPackage package(entries);
    EXPECT_TRUE(package.ok());
    LogCapture log;
    const bool loaded = system.loadFromXml();
    *messages = errorMessages(log);
    return loaded;
}

void expectVec3(const glm::vec3& actual, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(actual.x, x);
    EXPECT_FLOAT_EQ(actual.y, y);
    EXPECT_FLOAT_EQ(actual.z, z);
}

} // namespace

TEST(ParticleDefinition, EveryElementIsReadWhereverItIsNestedAndEverythingElseIsIgnoredSilently)
{
    InspectableParticleSystem system(TEST_DEFINITION, true);
    Messages messages;
    ASSERT_TRUE(load(system, particleFixture("complete.xml"), &messages));
    EXPECT_EQ(messages, Messages());

    EXPECT_EQ(system.maxParticles, 64);
    EXPECT_FLOAT_EQ(system.flow, 25.0f);
    EXPECT_FLOAT_EQ(system.speedFactor, 3.0f);
    expectVec3(system.startColor, 0.25f, 0.5f, 0.75f);
    expectVec3(system.endColor, 1.0f, 0.125f, 0.0f);
    EXPECT_FLOAT_EQ(system.startPointSize, 12.5f);
    EXPECT_FLOAT_EQ(system.endPointSize, 2.0f);
    expectVec3(system.gravityMin, -1.0f, -2.0f, -9.5f);
    expectVec3(system.gravityMax, 1.0f, 2.0f, -8.5f);
    expectVec3(system.velocityMin, -0.5f, -0.25f, 1.0f);
    expectVec3(system.velocityMax, 0.5f, 0.25f, 3.0f);
    expectVec3(system.positionMin, -2.0f, -3.0f, 0.0f);
    expectVec3(system.positionMax, 2.0f, 3.0f, 0.5f);
    EXPECT_FLOAT_EQ(system.lifetimeMin, 0.5f);
    EXPECT_FLOAT_EQ(system.lifetimeMax, 1.5f);
    EXPECT_FLOAT_EQ(system.spawnDelayMin, 0.0f);
    EXPECT_FLOAT_EQ(system.spawnDelayMax, 0.25f);
}

TEST(ParticleDefinition, AnAbsentElementIsNeverReportedAndLeavesItsFieldsAsConstructed)
{
    InspectableParticleSystem system(TEST_DEFINITION, true);
    Messages messages;
    ASSERT_TRUE(load(system, "<particles><general max_particles=\"5\"/></particles>", &messages));
    EXPECT_EQ(messages, Messages());
    EXPECT_EQ(system.maxParticles, 5);
    // flow and speed_factor are optional: absent, they stay at the constructor's 0.
    EXPECT_FLOAT_EQ(system.flow, 0.0f);
    EXPECT_FLOAT_EQ(system.speedFactor, 0.0f);
    expectVec3(system.startColor, 0.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(system.lifetimeMax, 0.0f);
}

TEST(ParticleDefinition, EveryMissingRequiredAttributeIsReportedInOrderWithItsElementsTag)
{
    InspectableParticleSystem system(TEST_DEFINITION, true);
    Messages messages;
    ASSERT_TRUE(load(system, particleFixture("no_attributes.xml"), &messages));
    Messages expected = missing("general", {"max_particles"});
    expected += missing("color", COLOR_NAMES);
    expected += missing("size", {"start", "end"});
    expected += missing("gravity", RANGE_NAMES);
    expected += missing("lifetime", {"min", "max"});
    expected += missing("spawndelay", {"min", "max"});
    expected += missing("staticvelocity", RANGE_NAMES);
    expected += missing("staticposition", RANGE_NAMES);
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(system.maxParticles, 0);
}

TEST(ParticleDefinition, AMissingAttributeKeepsTheValueAnEarlierElementGaveIt)
{
    InspectableParticleSystem system(TEST_DEFINITION, true);
    Messages messages;
    ASSERT_TRUE(load(system,
                     "<p><color start_r=\"0.1\" start_g=\"0.2\" start_b=\"0.3\" end_r=\"0.4\" end_g=\"0.5\" end_b=\"0.6\"/>"
                     "<x><color start_r=\"0.9\"/></x></p>",
                     &messages));
    // The later element overwrites what it has and reports the rest.
    EXPECT_EQ(messages, missing("color", {"start_g", "start_b", "end_r", "end_g", "end_b"}));
    expectVec3(system.startColor, 0.9f, 0.2f, 0.3f);
    expectVec3(system.endColor, 0.4f, 0.5f, 0.6f);
}

TEST(ParticleDefinition, AnUnparsableValueLogsItsOwnLineStoresTheDefaultAndStillCountsAsPresent)
{
    InspectableParticleSystem system(TEST_DEFINITION, true);
    Messages messages;
    ASSERT_TRUE(load(system, particleFixture("unparsable.xml"), &messages));
    Messages expected = {
        "Parse error for attribute 'max_particles', defaulting to 100",
        "Parse error for general attribute 'flow', defaulting to 10",
        "Parse error for general attribute 'speed_factor', defaulting to 1",
    };
    expected += parseErrors(COLOR_NAMES, "1.0");
    expected += parseErrors({"start"}, "10.0");
    expected += parseErrors({"end"}, "0.0");
    expected += parseErrors(RANGE_NAMES, "0.0");
    expected += parseErrors({"min"}, "0.0");
    expected += parseErrors({"max"}, "1.0");
    expected += parseErrors({"min", "max"}, "0.0");
    expected += parseErrors(RANGE_NAMES, "0.0");
    expected += parseErrors(RANGE_NAMES, "0.0");
    EXPECT_EQ(messages, expected);

    EXPECT_EQ(system.maxParticles, 100);
    EXPECT_FLOAT_EQ(system.flow, 10.0f);
    EXPECT_FLOAT_EQ(system.speedFactor, 1.0f);
    expectVec3(system.startColor, 1.0f, 1.0f, 1.0f);
    expectVec3(system.endColor, 1.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(system.startPointSize, 10.0f);
    EXPECT_FLOAT_EQ(system.endPointSize, 0.0f);
    EXPECT_FLOAT_EQ(system.lifetimeMin, 0.0f);
    EXPECT_FLOAT_EQ(system.lifetimeMax, 1.0f);
    EXPECT_FLOAT_EQ(system.spawnDelayMax, 0.0f);
}

TEST(ParticleDefinition, NumbersAreReadFromTheLongestPrefixTheConversionAccepts)
{
    InspectableParticleSystem system(TEST_DEFINITION, true);
    Messages messages;
    ASSERT_TRUE(load(system,
                     "<p><general max_particles=\" 2.5\" flow=\"7.9\" speed_factor=\"-3x\"/>"
                     "<size start=\"1.5e1px\" end=\"  .25\"/></p>",
                     &messages));
    EXPECT_EQ(messages, Messages());
    EXPECT_EQ(system.maxParticles, 2);
    EXPECT_FLOAT_EQ(system.flow, 7.0f);
    EXPECT_FLOAT_EQ(system.speedFactor, -3.0f);
    EXPECT_FLOAT_EQ(system.startPointSize, 15.0f);
    EXPECT_FLOAT_EQ(system.endPointSize, 0.25f);
}

TEST(ParticleDefinition, NamesOfElementsAndAttributesMustMatchExactly)
{
    InspectableParticleSystem system(TEST_DEFINITION, true);
    Messages messages;
    ASSERT_TRUE(load(system,
                     "<p><general MAX_PARTICLES=\"7\" max_particles_x=\"8\"/><Color start_r=\"0.5\"/>"
                     "<lifetime min=\"1\" max=\"2\" minimum=\"3\"/></p>",
                     &messages));
    EXPECT_EQ(messages, Messages{"Attribute max_particles not specified for tag <general>"});
    EXPECT_EQ(system.maxParticles, 0);
    expectVec3(system.startColor, 0.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(system.lifetimeMin, 1.0f);
    EXPECT_FLOAT_EQ(system.lifetimeMax, 2.0f);
}

TEST(ParticleDefinition, MarkupOfUnknownKindIsReportedOnceAndTheFileStillLoads)
{
    InspectableParticleSystem system(TEST_DEFINITION, true);
    Messages messages;
    ASSERT_TRUE(load(system, particleFixture("doctype.xml"), &messages));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Unknown data in xml, !DOCTYPE particles", 0), 0u) << messages[0];
    EXPECT_EQ(system.maxParticles, 8);
}

TEST(ParticleDefinition, AMissingEmptyOrMalformedFileFailsTheLoadAndTheSetup)
{
    const std::string path = TEST_DEFINITION;
    const std::pair<std::string, std::string> cases[] = {
        {"", "XML parse error for " + path + "!"},
        {"   \n\t", "XML parse error for " + path + "!"},
        {"just some text", "XML parse error for " + path + "!"},
        {particleFixture("malformed.xml"), "XML parse error for " + path + "!"},
    };
    for (const auto& [definition, line] : cases) {
        InspectableParticleSystem system(TEST_DEFINITION, true);
        Messages messages;
        EXPECT_FALSE(load(system, definition, &messages)) << definition;
        EXPECT_EQ(messages, Messages{line}) << definition;
    }

    const std::map<std::string, std::string> entries = {{"particlesystems/other.xml", "<general/>"}};
    TestPackage package(entries);
    InspectableParticleSystem system(TEST_DEFINITION, true);
    LogCapture log;
    // setup fails before it makes any GL call, so no context is needed here.
    EXPECT_FALSE(system.setup());
    const Messages messages = errorMessages(log);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "Load problem with " + path);
}

TEST(ParticleDefinition, AFilePaddedWithNulBytesLoadsAsTheTextBeforeThem)
{
    InspectableParticleSystem system(TEST_DEFINITION, true);
    Messages messages;
    const std::string padded = "<general max_particles=\"7\" flow=\"3\"/>" + std::string(16, '\0') + "<<<";
    EXPECT_TRUE(load(system, padded, &messages));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(system.maxParticles, 7);
    EXPECT_FLOAT_EQ(system.flow, 3.0f);
}
