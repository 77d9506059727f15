#include <gtest/gtest.h>

#include <GL/glew.h>

#include "RenderTestKit.h"
#include "render/ProgramManager.h"
#include "GLContext.h"
#include "support/LogCapture.h"
#include "support/TestPackage.h"

namespace {

const char* MINIMAL_VS = "#version 330 core\nlayout(location = 0) in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); }\n";
const char* MINIMAL_FS = "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";
const char* BROKEN_FS = "#version 330 core\nout vec4 c;\nvoid main() { c = undefined_thing; }\n";
// Compiles alone, but a program needs a main in every stage.
const char* UNLINKABLE_FS = "#version 330 core\nout vec4 c;\nvoid paint() { c = vec4(1.0); }\n";

class ProgramManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    GLContext gl{64, 64};
    ProgramManager* cache = ProgramManager::getInstance();
};

struct ProgramExpectation {
    const char* vertex;
    const char* fragment;
    const char* geometry;
    std::vector<const char*> uniforms;
    std::vector<std::pair<const char*, int>> attributes;
};

} // namespace

TEST_F(ProgramManagerTest, SamePathsShareOneProgramUntilEveryHolderHasFreedIt)
{
    TestPackage package({{"a.vs", MINIMAL_VS}, {"a.fs", MINIMAL_FS}});
    ShaderProgram* first = cache->loadProgram("a.vs", "a.fs", "");
    ShaderProgram* second = cache->loadProgram("a.vs", "a.fs", "");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    const GLuint id = first->getId();
    EXPECT_TRUE(glIsProgram(id));

    cache->freeProgram("a.vs", "a.fs", "");
    EXPECT_TRUE(glIsProgram(id)) << "deleted while a holder remains";
    cache->freeProgram("a.vs", "a.fs", "");
    EXPECT_FALSE(glIsProgram(id));

    LogCapture log;
    cache->freeProgram("a.vs", "a.fs", "");
    EXPECT_EQ(log.count("  [ERROR] ["), 1);
    EXPECT_TRUE(log.contains("] The program with key a.vsa.fs was not found"));
}

TEST_F(ProgramManagerTest, ProgramsAreKeyedByTheJoinedPaths)
{
    TestPackage package({{"ab", MINIMAL_VS}, {"a", MINIMAL_VS}, {"c", MINIMAL_FS}, {"bc", MINIMAL_FS}});
    ShaderProgram* split1 = cache->loadProgram("ab", "c", "");
    ShaderProgram* split2 = cache->loadProgram("a", "bc", "");
    ASSERT_NE(split1, nullptr);
    EXPECT_EQ(split1, split2);
    cache->freeProgram("a", "bc", "");
    const GLuint id = split1->getId();
    cache->freeProgram("ab", "c", "");
    EXPECT_FALSE(glIsProgram(id));
}

TEST_F(ProgramManagerTest, AFreedProgramIsBuiltAfreshOnTheNextRequest)
{
    TestPackage package({{"a.vs", MINIMAL_VS}, {"a.fs", MINIMAL_FS}});
    ShaderProgram* first = cache->loadProgram("a.vs", "a.fs", "");
    ASSERT_NE(first, nullptr);
    const GLuint firstId = first->getId();
    cache->freeProgram("a.vs", "a.fs", "");
    EXPECT_FALSE(glIsProgram(firstId));
    ShaderProgram* again = cache->loadProgram("a.vs", "a.fs", "");
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(glIsProgram(again->getId()));
    cache->freeProgram("a.vs", "a.fs", "");
}

TEST_F(ProgramManagerTest, AnEmptyGeometryPathMakesNoGeometryStage)
{
    TestPackage package({{"a.vs", MINIMAL_VS}, {"a.fs", MINIMAL_FS}});
    ShaderProgram* program = cache->loadProgram("a.vs", "a.fs", "");
    ASSERT_NE(program, nullptr);
    GLuint stages[4] = {0, 0, 0, 0};
    GLsizei attached = 0;
    glGetAttachedShaders(program->getId(), 4, &attached, stages);
    EXPECT_EQ(attached, 2);
    for (GLsizei i = 0; i < attached; ++i) {
        GLint type = 0;
        glGetShaderiv(stages[i], GL_SHADER_TYPE, &type);
        EXPECT_NE(type, GL_GEOMETRY_SHADER);
    }
    GLint linked = 0;
    glGetProgramiv(program->getId(), GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    cache->freeProgram("a.vs", "a.fs", "");
}

TEST_F(ProgramManagerTest, AMissingStageIsReportedAndNothingIsCached)
{
    TestPackage package({{"a.fs", MINIMAL_FS}, {"a.vs", MINIMAL_VS}});
    {
        LogCapture log;
        EXPECT_EQ(cache->loadProgram("missing.vs", "also_missing.fs", ""), nullptr);
        EXPECT_TRUE(log.contains("  [ERROR] [") && log.contains("] Failed to load package file missing.vs"));
        // The vertex stage fails first; the fragment entry is never read.
        EXPECT_FALSE(log.contains("Failed to load package file also_missing"));
        EXPECT_TRUE(log.contains("] Failed to build program (missing.vs, also_missing.fs, )"));
        EXPECT_EQ(log.count("Failed to load package file"), 1);
    }
    {
        LogCapture log;
        EXPECT_EQ(cache->loadProgram("a.vs", "a.fs", "missing.gs"), nullptr);
        EXPECT_TRUE(log.contains("] Failed to load package file missing.gs"));
    }
    {
        LogCapture log;
        cache->freeProgram("missing.vs", "also_missing.fs", "");
        EXPECT_TRUE(log.contains("The program with key missing.vsalso_missing.fs was not found"));
    }
}

TEST_F(ProgramManagerTest, ACompileErrorLogsTheStageAndTheGLInfoLog)
{
    TestPackage package({{"a.vs", MINIMAL_VS}, {"broken.fs", BROKEN_FS}, {"broken.vs", BROKEN_FS}});
    LogCapture log;
    EXPECT_EQ(cache->loadProgram("a.vs", "broken.fs", ""), nullptr);
    EXPECT_EQ(cache->loadProgram("broken.vs", "a.fs", ""), nullptr);
    EXPECT_TRUE(log.contains("] Unable to compile fragment shader broken.fs"));
    EXPECT_TRUE(log.contains("] Unable to compile vertex shader broken.vs"));
    // The GL info log follows, indented under the failing stage.
    EXPECT_TRUE(log.contains("]   ")) << log.text();
    EXPECT_TRUE(log.contains("undefined_thing")) << log.text();
    EXPECT_EQ(log.count("Failed to build program"), 2);
}

TEST_F(ProgramManagerTest, ALinkErrorLogsTheProgramAndReturnsNull)
{
    TestPackage package({{"a.vs", MINIMAL_VS}, {"unlinkable.fs", UNLINKABLE_FS}});
    LogCapture log;
    EXPECT_EQ(cache->loadProgram("a.vs", "unlinkable.fs", ""), nullptr);
    EXPECT_TRUE(log.contains("] Error linking program ")) << log.text();
    EXPECT_TRUE(log.contains("] Failed to build program (a.vs, unlinkable.fs, )"));
}

TEST_F(ProgramManagerTest, NameCheckedLogsRejectNamesOfTheWrongKind)
{
    ShaderProgram program("x", "y", "");
    LogCapture log;
    program.printShaderLog(987654);
    program.printProgramLog(987655);
    EXPECT_TRUE(log.contains("] Name 987654 is not a shader"));
    EXPECT_TRUE(log.contains("] Name 987655 is not a program"));
}

// Every program the game asks for builds from the game's own sources, with
// the attribute slots and uniforms its drawable relies on actually in use.
TEST_F(ProgramManagerTest, EveryGameShaderCompilesLinksAndUsesItsInterface)
{
    TestPackage package(gameShaderEntries());
    const std::vector<ProgramExpectation> programs = {
        {"shaders/simple.vs", "shaders/simple.fs", "",
         {"u_world_matrix", "u_projection_matrix", "u_view_matrix", "diffuse_texture_sampler",
          "normal_texture_sampler", "u_alpha", "u_light_pos", "u_view_pos"},
         {{"a_position", 0}, {"a_normal", 1}, {"a_uv", 2}, {"a_tangent", 3}, {"a_bitangent", 4}}},
        {"shaders/basicortho.vs", "shaders/basicortho.fs", "",
         {"u_texture_sampler", "u_world_matrix", "u_projection_matrix", "u_alpha"},
         {{"a_position", 0}, {"a_uv", 1}}},
        {"shaders/basicortho.vs", "shaders/pixelate_1920.fs", "",
         {"u_texture_sampler", "u_world_matrix", "u_projection_matrix", "u_alpha"},
         {{"a_position", 0}, {"a_uv", 1}}},
        {"shaders/basicortho.vs", "shaders/pixelate_1280.fs", "",
         {"u_texture_sampler", "u_world_matrix", "u_projection_matrix", "u_alpha"},
         {{"a_position", 0}, {"a_uv", 1}}},
        {"shaders/basicortho.vs", "shaders/pixelate_1024.fs", "",
         {"u_texture_sampler", "u_world_matrix", "u_projection_matrix", "u_alpha"},
         {{"a_position", 0}, {"a_uv", 1}}},
        {"shaders/text.vs", "shaders/text.fs", "",
         {"u_texture_sampler", "u_alpha", "u_world_matrix", "u_projection_matrix", "u_color"},
         {{"a_position", 0}, {"a_uv", 1}}},
        {"shaders/rect.vs", "shaders/rect.fs", "",
         {"u_world_matrix", "u_projection_matrix", "u_view_matrix", "u_color"},
         {{"a_position", 0}}},
        {"shaders/particlesystem.vs", "shaders/particlesystem.fs", "",
         {"u_start_color", "u_end_color", "u_gravity", "s_texture", "u_world_matrix", "u_view_matrix",
          "u_projection_matrix", "u_start_point_size", "u_end_point_size"},
         {{"a_position", 0}, {"a_velocity", 1}, {"a_timing", 2}}},
        {"shaders/projectiles.vs", "shaders/projectiles.fs", "",
         {"s_texture", "u_world_matrix", "u_view_matrix", "u_projection_matrix"},
         {{"a_position", 0}, {"a_active", 1}, {"a_color", 2}}},
        {"shaders/shownormals.vs", "shaders/shownormals.fs", "shaders/shownormals.gs",
         {"u_world_matrix", "u_view_matrix", "u_projection_matrix", "u_color"},
         {{"a_position", 0}, {"a_normal", 1}}},
    };
    for (const ProgramExpectation& expected : programs) {
        SCOPED_TRACE(std::string(expected.vertex) + " + " + expected.fragment);
        LogCapture log;
        ShaderProgram* program = cache->loadProgram(expected.vertex, expected.fragment, expected.geometry);
        ASSERT_NE(program, nullptr) << log.text();
        for (const char* uniform : expected.uniforms)
            EXPECT_NE(glGetUniformLocation(program->getId(), uniform), -1) << uniform;
        for (const auto& [attribute, slot] : expected.attributes)
            EXPECT_EQ(glGetAttribLocation(program->getId(), attribute), slot) << attribute;
        cache->freeProgram(expected.vertex, expected.fragment, expected.geometry);
    }
}
