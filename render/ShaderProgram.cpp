#include "render/ShaderProgram.h"

#include <cstdlib>
#include <cstring>

#include "core/Log.h"
#include "core/PackageManager.h"

namespace {

constexpr const char* PACKAGE_FILE = "data.mv2";

// The package entry as one NUL-ended string in a new malloc'd buffer, or
// null. The package hands out the bare bytes, GL wants C text.
char* loadSourceText(const std::string& path)
{
    unsigned size = 0;
    void* bytes = PackageManager::getInstance()->load(PACKAGE_FILE, path, &size);
    if (bytes == nullptr)
        return nullptr;
    char* text = static_cast<char*>(std::calloc(size + 1u, 1));
    if (text != nullptr)
        std::memcpy(text, bytes, size);
    std::free(bytes);
    return text;
}

// Logs the info log of a shader or program object ('kind' says which), or
// that the name is not one of that kind.
template <typename IsKind, typename GetValue, typename GetLog>
void printInfoLog(GLuint name, const char* kind, IsKind isKind, GetValue getValue, GetLog getLog)
{
    if (!isKind(name)) {
        log_error("Name %d is not a %s", static_cast<int>(name), kind);
        return;
    }
    GLint capacity = 0;
    getValue(name, GL_INFO_LOG_LENGTH, &capacity);
    char* text = new char[capacity > 0 ? capacity : 1];
    GLsizei written = 0;
    getLog(name, capacity, &written, text);
    // Drivers end their logs with a newline; the log line adds its own.
    while (written > 0 && (text[written - 1] == '\n' || text[written - 1] == '\r'))
        text[--written] = '\0';
    if (written > 0)
        log_error("  %s", text);
    delete[] text;
}

} // namespace

ShaderProgram::ShaderProgram(std::string vertexShader, std::string fragmentShader, std::string geometryShader)
    : vertexShader(std::move(vertexShader))
    , fragmentShader(std::move(fragmentShader))
    , geometryShader(std::move(geometryShader))
{
}

ShaderProgram::~ShaderProgram()
{
    if (id != 0)
        glDeleteProgram(id);
}

bool ShaderProgram::compileStage(GLenum type, const std::string& path, const char* stageName, GLuint* shader) const
{
    *shader = glCreateShader(type);
    char* source = loadSourceText(path);
    if (source == nullptr) {
        log_error("Failed to load package file %s", path.c_str());
        return false;
    }
    const GLchar* sources[] = {source};
    glShaderSource(*shader, 1, sources, nullptr);
    glCompileShader(*shader);
    GLint status = GL_FALSE;
    glGetShaderiv(*shader, GL_COMPILE_STATUS, &status);
    std::free(source);
    if (status != GL_TRUE) {
        log_error("Unable to compile %s shader %s", stageName, path.c_str());
        printShaderLog(*shader);
        return false;
    }
    glAttachShader(id, *shader);
    return true;
}

bool ShaderProgram::build()
{
    id = glCreateProgram();

    // Every stage object made so far is released on every exit: attached ones
    // only go with the program, the others would leak.
    GLuint stages[3] = {0, 0, 0};
    auto release = [&stages]() {
        for (GLuint stage : stages) {
            if (stage != 0)
                glDeleteShader(stage);
        }
    };

    bool built = compileStage(GL_VERTEX_SHADER, vertexShader, "vertex", &stages[0]) &&
                 compileStage(GL_FRAGMENT_SHADER, fragmentShader, "fragment", &stages[1]) &&
                 (geometryShader.empty() ||
                  compileStage(GL_GEOMETRY_SHADER, geometryShader, "geometry", &stages[2]));
    if (built) {
        glLinkProgram(id);
        GLint status = GL_FALSE;
        glGetProgramiv(id, GL_LINK_STATUS, &status);
        if (status != GL_TRUE) {
            log_error("Error linking program %d!", static_cast<int>(id));
            printProgramLog(id);
            built = false;
        }
    }
    release();
    return built;
}

void ShaderProgram::use() const
{
    glUseProgram(id);
}

GLuint ShaderProgram::getId() const
{
    return id;
}

void ShaderProgram::printShaderLog(GLuint shader) const
{
    printInfoLog(shader, "shader", glIsShader, glGetShaderiv, glGetShaderInfoLog);
}

void ShaderProgram::printProgramLog(GLuint program) const
{
    printInfoLog(program, "program", glIsProgram, glGetProgramiv, glGetProgramInfoLog);
}
