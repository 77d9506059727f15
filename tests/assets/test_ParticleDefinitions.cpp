#include <gtest/gtest.h>

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "render/ParticleSystem.h"
#include "support/LogCapture.h"
#include "support/TestPackage.h"

namespace {

const char* const DEFINITIONS[] = {
    "particlesystems/death.xml",
    "particlesystems/regen.xml",
    "particlesystems/teleporter_down.xml",
    "particlesystems/teleporter_up.xml",
};

// Every element the particle reader knows, with the attributes it requires.
const std::map<std::string, std::vector<std::string>> REQUIRED = {
    {"general", {"max_particles"}},
    {"color", {"start_r", "start_g", "start_b", "end_r", "end_g", "end_b"}},
    {"size", {"start", "end"}},
    {"gravity", {"min_x", "min_y", "min_z", "max_x", "max_y", "max_z"}},
    {"lifetime", {"min", "max"}},
    {"spawndelay", {"min", "max"}},
    {"staticvelocity", {"min_x", "min_y", "min_z", "max_x", "max_y", "max_z"}},
    {"staticposition", {"min_x", "min_y", "min_z", "max_x", "max_y", "max_z"}},
};

// The values of one definition file, by "element.attribute".
using Definition = std::map<std::string, double>;

void collect(const TiXmlNode* node, Definition& values, std::map<std::string, int>& seen)
{
    if (const TiXmlElement* element = node->ToElement()) {
        ++seen[element->Value()];
        for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
            double value = 0.0;
            if (a->QueryDoubleValue(&value) == TIXML_SUCCESS)
                values[std::string(element->Value()) + "." + a->Name()] = value;
        }
    }
    for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling())
        collect(child, values, seen);
}

Definition load(const std::string& path, std::map<std::string, int>* seenOut = nullptr)
{
    const std::string text = readFileBytes(std::string(MORVELUND_DATA_DIR) + "/" + path);
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    EXPECT_FALSE(document.Error()) << path << ": " << document.ErrorDesc();
    Definition values;
    std::map<std::string, int> seen;
    collect(&document, values, seen);
    if (seenOut)
        *seenOut = seen;
    return values;
}

// Opens the reader's results to the test; no GL work is done.
class LoadedDefinition : public ParticleSystem {
public:
    explicit LoadedDefinition(const std::string& path) : ParticleSystem(path, false) {}
    using ParticleSystem::endPointSize;
    using ParticleSystem::flow;
    using ParticleSystem::lifetimeMax;
    using ParticleSystem::loadFromXml;
    using ParticleSystem::maxParticles;
    using ParticleSystem::startColor;
};

} // namespace

TEST(ParticleDefinitions, TheGamesParticleReaderLoadsEveryFileWithoutAWord)
{
    std::map<std::string, std::string> entries;
    for (const char* path : DEFINITIONS)
        entries[path] = readFileBytes(std::string(MORVELUND_DATA_DIR) + "/" + path);
    TestPackage package(entries);
    ASSERT_TRUE(package.ok());
    for (const char* path : DEFINITIONS) {
        SCOPED_TRACE(path);
        const Definition expected = load(path);
        LoadedDefinition system(path);
        bool loaded = false;
        {
            LogCapture log;
            loaded = system.loadFromXml();
            EXPECT_EQ(log.text(), "");
        }
        EXPECT_TRUE(loaded);
        EXPECT_EQ(system.maxParticles, static_cast<int>(expected.at("general.max_particles")));
        EXPECT_FLOAT_EQ(system.flow, static_cast<float>(expected.at("general.flow")));
        EXPECT_FLOAT_EQ(system.startColor.r, static_cast<float>(expected.at("color.start_r")));
        EXPECT_FLOAT_EQ(system.endPointSize, static_cast<float>(expected.at("size.end")));
        EXPECT_FLOAT_EQ(system.lifetimeMax, static_cast<float>(expected.at("lifetime.max")));
    }
}

TEST(ParticleDefinitions, EveryFileHasEachElementOnceWithEveryRequiredAttributeAsANumber)
{
    for (const char* path : DEFINITIONS) {
        SCOPED_TRACE(path);
        std::map<std::string, int> seen;
        const Definition values = load(path, &seen);
        for (const auto& [element, attributes] : REQUIRED) {
            // A second copy would silently overwrite the first.
            EXPECT_EQ(seen[element], 1) << "<" << element << ">";
            for (const std::string& attribute : attributes)
                EXPECT_EQ(values.count(element + "." + attribute), 1u) << element << "." << attribute;
        }
        // Read as integers, so a fraction would be cut off without a word.
        for (const char* integer : {"general.max_particles", "general.flow", "general.speed_factor"}) {
            ASSERT_EQ(values.count(integer), 1u) << integer;
            EXPECT_EQ(values.at(integer), std::floor(values.at(integer))) << integer;
        }
        EXPECT_GT(values.at("general.max_particles"), 0.0);
    }
}

TEST(ParticleDefinitions, RangesGiveWhatTheyMeanAndEveryParticleGetsToShow)
{
    for (const char* path : DEFINITIONS) {
        SCOPED_TRACE(path);
        const Definition v = load(path);
        for (const char* element : {"gravity", "staticvelocity", "staticposition"}) {
            for (const char* axis : {"x", "y", "z"}) {
                const double low = v.at(std::string(element) + ".min_" + axis);
                const double high = v.at(std::string(element) + ".max_" + axis);
                EXPECT_LE(low, high) << element << " " << axis;
                // A pick from a range narrower than a thousandth gives 0, not
                // min: a fixed value other than 0 would silently vanish.
                EXPECT_TRUE((low == 0.0 && high == 0.0) || high - low >= 0.001) << element << " " << axis;
            }
        }
        for (const char* element : {"lifetime", "spawndelay"}) {
            const double low = v.at(std::string(element) + ".min");
            const double high = v.at(std::string(element) + ".max");
            EXPECT_LE(low, high) << element;
            EXPECT_TRUE((low == 0.0 && high == 0.0) || high - low >= 0.001) << element;
        }
        // A particle is drawn from its spawn delay to the end of its life.
        EXPECT_LT(v.at("spawndelay.max"), v.at("lifetime.min"));
        EXPECT_GT(v.at("size.start"), 0.0);
    }
}

TEST(ParticleDefinitions, EachEffectLooksAndFlowsAsItsUseNeeds)
{
    const Definition death = load("particlesystems/death.xml");
    const Definition regen = load("particlesystems/regen.xml");
    const Definition down = load("particlesystems/teleporter_down.xml");
    const Definition up = load("particlesystems/teleporter_up.xml");

    // The one-shot bursts must not trickle on after their burst.
    EXPECT_EQ(death.at("general.flow"), 0.0);
    EXPECT_EQ(regen.at("general.flow"), 0.0);
    // The teleporters emit continuously, and fast enough for a column.
    EXPECT_GE(down.at("general.flow"), 30.0);
    EXPECT_GE(up.at("general.flow"), 30.0);

    EXPECT_GT(death.at("color.start_r"), 2 * std::max(death.at("color.start_g"), death.at("color.start_b")));
    EXPECT_GT(regen.at("color.start_g"), 2 * std::max(regen.at("color.start_r"), regen.at("color.start_b")));
    EXPECT_GT(regen.at("staticvelocity.min_z"), 0.0) << "regeneration rises";
    EXPECT_GE(regen.at("gravity.min_z"), 0.0);

    const double colourDistance = std::fabs(down.at("color.start_r") - up.at("color.start_r")) +
                                  std::fabs(down.at("color.start_g") - up.at("color.start_g")) +
                                  std::fabs(down.at("color.start_b") - up.at("color.start_b"));
    EXPECT_GT(colourDistance, 0.5) << "the two stairs must be told apart";
}
