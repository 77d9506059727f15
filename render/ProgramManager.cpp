#include "render/ProgramManager.h"

#include "core/Log.h"

ProgramManager* ProgramManager::sInstance = nullptr;

ProgramManager* ProgramManager::getInstance()
{
    if (sInstance == nullptr)
        sInstance = new ProgramManager();
    return sInstance;
}

ShaderProgram* ProgramManager::loadProgram(std::string vertexShader, std::string fragmentShader,
                                           std::string geometryShader)
{
    const std::string key = vertexShader + fragmentShader + geometryShader;
    auto found = programs.find(key);
    if (found != programs.end()) {
        found->second->refCount++;
        return found->second;
    }

    ShaderProgram* program = new ShaderProgram(vertexShader, fragmentShader, geometryShader);
    if (!program->build()) {
        log_error("Failed to build program (%s, %s, %s)", vertexShader.c_str(), fragmentShader.c_str(),
                  geometryShader.c_str());
        delete program;
        return nullptr;
    }
    programs[key] = program;
    return program;
}

void ProgramManager::freeProgram(std::string vertexShader, std::string fragmentShader, std::string geometryShader)
{
    const std::string key = vertexShader + fragmentShader + geometryShader;
    auto found = programs.find(key);
    if (found == programs.end()) {
        log_error("The program with key %s was not found", key.c_str());
        return;
    }
    ShaderProgram* program = found->second;
    program->refCount--;
    if (program->refCount == 0) {
        programs.erase(found);
        delete program;
    }
}
