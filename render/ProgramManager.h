#pragma once

#include <map>
#include <string>

#include "render/ShaderProgram.h"

// The process-wide cache of linked shader programs. Drawables that name the
// same three stage paths share one program; it is deleted when the last of
// them gives it back. The cache itself lives until the process ends.
class ProgramManager {
public:
    static ProgramManager* getInstance();

    // The shared program for these paths, built on first request; null (with
    // the reasons logged) when it does not build. A failure is not cached.
    ShaderProgram* loadProgram(std::string vertexShader, std::string fragmentShader, std::string geometryShader);
    // Gives back one reference taken by loadProgram with the same paths.
    void freeProgram(std::string vertexShader, std::string fragmentShader, std::string geometryShader);

private:
    ProgramManager() = default;
    ProgramManager(const ProgramManager&) = delete;
    ProgramManager& operator=(const ProgramManager&) = delete;

    static ProgramManager* sInstance;

    // Keyed by the three paths joined with nothing between them.
    std::map<std::string, ShaderProgram*> programs;
};
