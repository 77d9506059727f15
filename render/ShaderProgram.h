#pragma once

#include <string>

#include <GL/glew.h>

// One linked GL program built from shader sources in data.mv2. Programs are
// made and shared only through ProgramManager, which counts their holders;
// drawables never construct one themselves.
class ShaderProgram {
public:
    // Stores the stage paths; no GL work. An empty geometry path means the
    // program has no geometry stage.
    ShaderProgram(std::string vertexShader, std::string fragmentShader, std::string geometryShader);
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // Reads, compiles and links every stage; logs the first failure with the
    // GL info log and returns false.
    bool build();
    void use() const;
    GLuint getId() const;

    void printShaderLog(GLuint shader) const;
    void printProgramLog(GLuint program) const;

private:
    friend class ProgramManager;

    // Compiles one stage from the package into *shader; false (logged) when
    // the entry is missing or does not compile.
    bool compileStage(GLenum type, const std::string& path, const char* stageName, GLuint* shader) const;

    std::string vertexShader;
    std::string fragmentShader;
    std::string geometryShader;
    GLuint id = 0;
    int refCount = 1;
};
