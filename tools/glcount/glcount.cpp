// A counter of live OpenGL objects for long runs of the game (scripts/soak).
// Preloaded into the game (LD_PRELOAD=libglcount.so), it counts every name
// that glGen* and glCreate* hand out, minus those given back to glDelete*,
// per kind of object, and rewrites one line of totals into the file named by
// $GLCOUNT_OUT twice a second and once more when the process ends, with the
// bytes malloc has out at the end:
//
//   buffers=12 textures=40 vertex_arrays=9 framebuffers=1 renderbuffers=1
//   programs=8 shaders=0 queries=0 samplers=0 malloc_kb=80123    (one line)
//
// The game reaches every entry point past OpenGL 1.1 through GLEW, which asks
// glXGetProcAddressARB for it; the shim answers those questions with its own
// counting wrappers. The two OpenGL 1.1 calls, glGenTextures and
// glDeleteTextures, are linked directly, so the shim defines them itself.
// Nothing is checked or changed: every call goes on to the driver as it came.

#include <GL/gl.h>
#include <dlfcn.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

enum Kind {
    BUFFERS,
    TEXTURES,
    VERTEX_ARRAYS,
    FRAMEBUFFERS,
    RENDERBUFFERS,
    PROGRAMS,
    SHADERS,
    QUERIES,
    SAMPLERS,
    KINDS
};

const char* const KIND_NAMES[KINDS] = {"buffers",  "textures", "vertex_arrays", "framebuffers", "renderbuffers",
                                       "programs", "shaders",  "queries",       "samplers"};

std::atomic<long> live[KINDS];

constexpr auto WRITE_INTERVAL = std::chrono::milliseconds(500);

// Names 0 are never objects: glGen* does not hand them out and glDelete*
// skips them silently.
void count(Kind kind, GLsizei n, const GLuint* names, long sign)
{
    if (names == nullptr)
        return;
    for (GLsizei i = 0; i < n; ++i) {
        if (names[i] != 0)
            live[kind] += sign;
    }
}

void writeTotals()
{
    const char* out = std::getenv("GLCOUNT_OUT");
    if (out == nullptr || *out == '\0')
        return;
    // Written aside and renamed, so a reader never sees half a line.
    const std::string partial = std::string(out) + ".partial";
    FILE* file = std::fopen(partial.c_str(), "w");
    if (file == nullptr)
        return;
    for (int kind = 0; kind < KINDS; ++kind)
        std::fprintf(file, "%s=%ld ", KIND_NAMES[kind], live[kind].load());
    // What malloc has handed out and not had back, over all its arenas: it
    // tells growth of the program's own allocations from resident memory
    // that the allocator or the driver keeps.
    const struct mallinfo2 heap = mallinfo2();
    std::fprintf(file, "malloc_kb=%zu\n", (heap.uordblks + heap.hblkhd) / 1024);
    std::fclose(file);
    std::rename(partial.c_str(), out);
}

void* nextSymbol(const char* name)
{
    return dlsym(RTLD_NEXT, name);
}

// The driver's entry points behind the wrappers, filled in as GLEW asks.
using GenFunction = void (*)(GLsizei, GLuint*);
using DeleteFunction = void (*)(GLsizei, const GLuint*);
using CreateTargetFunction = void (*)(GLenum, GLsizei, GLuint*);
using CreateFunction = GLuint (*)();
using CreateShaderFunction = GLuint (*)(GLenum);
using DeleteOneFunction = void (*)(GLuint);

} // namespace

// One wrapper per entry point; each forwards, then counts.
#define GLCOUNT_GEN(function, kind)                                                                                   \
    static GenFunction real_##function = nullptr;                                                                    \
    static void counted_##function(GLsizei n, GLuint* names)                                                          \
    {                                                                                                                 \
        real_##function(n, names);                                                                                    \
        count(kind, n, names, +1);                                                                                    \
    }
#define GLCOUNT_DELETE(function, kind)                                                                                \
    static DeleteFunction real_##function = nullptr;                                                                 \
    static void counted_##function(GLsizei n, const GLuint* names)                                                    \
    {                                                                                                                 \
        count(kind, n, names, -1);                                                                                    \
        real_##function(n, names);                                                                                    \
    }
#define GLCOUNT_CREATE_TARGET(function, kind)                                                                         \
    static CreateTargetFunction real_##function = nullptr;                                                           \
    static void counted_##function(GLenum target, GLsizei n, GLuint* names)                                           \
    {                                                                                                                 \
        real_##function(target, n, names);                                                                            \
        count(kind, n, names, +1);                                                                                    \
    }

GLCOUNT_GEN(glGenBuffers, BUFFERS)
GLCOUNT_GEN(glCreateBuffers, BUFFERS)
GLCOUNT_DELETE(glDeleteBuffers, BUFFERS)
GLCOUNT_CREATE_TARGET(glCreateTextures, TEXTURES)
GLCOUNT_GEN(glGenVertexArrays, VERTEX_ARRAYS)
GLCOUNT_GEN(glCreateVertexArrays, VERTEX_ARRAYS)
GLCOUNT_DELETE(glDeleteVertexArrays, VERTEX_ARRAYS)
GLCOUNT_GEN(glGenFramebuffers, FRAMEBUFFERS)
GLCOUNT_GEN(glCreateFramebuffers, FRAMEBUFFERS)
GLCOUNT_DELETE(glDeleteFramebuffers, FRAMEBUFFERS)
GLCOUNT_GEN(glGenRenderbuffers, RENDERBUFFERS)
GLCOUNT_GEN(glCreateRenderbuffers, RENDERBUFFERS)
GLCOUNT_DELETE(glDeleteRenderbuffers, RENDERBUFFERS)
GLCOUNT_GEN(glGenQueries, QUERIES)
GLCOUNT_CREATE_TARGET(glCreateQueries, QUERIES)
GLCOUNT_DELETE(glDeleteQueries, QUERIES)
GLCOUNT_GEN(glGenSamplers, SAMPLERS)
GLCOUNT_GEN(glCreateSamplers, SAMPLERS)
GLCOUNT_DELETE(glDeleteSamplers, SAMPLERS)

static CreateFunction real_glCreateProgram = nullptr;
static GLuint counted_glCreateProgram()
{
    const GLuint program = real_glCreateProgram();
    if (program != 0)
        ++live[PROGRAMS];
    return program;
}

static CreateShaderFunction real_glCreateShader = nullptr;
static GLuint counted_glCreateShader(GLenum type)
{
    const GLuint shader = real_glCreateShader(type);
    if (shader != 0)
        ++live[SHADERS];
    return shader;
}

static DeleteOneFunction real_glDeleteProgram = nullptr;
static void counted_glDeleteProgram(GLuint program)
{
    if (program != 0)
        --live[PROGRAMS];
    real_glDeleteProgram(program);
}

static DeleteOneFunction real_glDeleteShader = nullptr;
static void counted_glDeleteShader(GLuint shader)
{
    if (shader != 0)
        --live[SHADERS];
    real_glDeleteShader(shader);
}

namespace {

struct Hook {
    const char* name;
    void* wrapper;
    void** real;
};

#define GLCOUNT_HOOK(function)                                                                                        \
    {#function, reinterpret_cast<void*>(&counted_##function), reinterpret_cast<void**>(&real_##function)}

const Hook HOOKS[] = {
    GLCOUNT_HOOK(glGenBuffers),          GLCOUNT_HOOK(glCreateBuffers),       GLCOUNT_HOOK(glDeleteBuffers),
    GLCOUNT_HOOK(glCreateTextures),      GLCOUNT_HOOK(glGenVertexArrays),     GLCOUNT_HOOK(glCreateVertexArrays),
    GLCOUNT_HOOK(glDeleteVertexArrays),  GLCOUNT_HOOK(glGenFramebuffers),     GLCOUNT_HOOK(glCreateFramebuffers),
    GLCOUNT_HOOK(glDeleteFramebuffers),  GLCOUNT_HOOK(glGenRenderbuffers),    GLCOUNT_HOOK(glCreateRenderbuffers),
    GLCOUNT_HOOK(glDeleteRenderbuffers), GLCOUNT_HOOK(glGenQueries),          GLCOUNT_HOOK(glCreateQueries),
    GLCOUNT_HOOK(glDeleteQueries),       GLCOUNT_HOOK(glGenSamplers),         GLCOUNT_HOOK(glCreateSamplers),
    GLCOUNT_HOOK(glDeleteSamplers),      GLCOUNT_HOOK(glCreateProgram),       GLCOUNT_HOOK(glCreateShader),
    GLCOUNT_HOOK(glDeleteProgram),       GLCOUNT_HOOK(glDeleteShader),
};

using ProcAddress = void (*)();
using GetProcAddressFunction = ProcAddress (*)(const GLubyte*);

// Hands out the wrapper of a counted entry point, the driver's own otherwise.
ProcAddress lookUp(GetProcAddressFunction realGetter, const GLubyte* name)
{
    if (realGetter == nullptr)
        return nullptr;
    const ProcAddress driver = realGetter(name);
    if (driver == nullptr)
        return nullptr;
    for (const Hook& hook : HOOKS) {
        if (std::strcmp(hook.name, reinterpret_cast<const char*>(name)) == 0) {
            *hook.real = reinterpret_cast<void*>(driver);
            return reinterpret_cast<ProcAddress>(hook.wrapper);
        }
    }
    return driver;
}

// Rewrites the totals until the process ends; never joined.
void startWriter()
{
    std::thread([] {
        for (;;) {
            writeTotals();
            std::this_thread::sleep_for(WRITE_INTERVAL);
        }
    }).detach();
}

struct Lifetime {
    Lifetime() { startWriter(); }
    ~Lifetime() { writeTotals(); }
} lifetime;

} // namespace

extern "C" {

ProcAddress glXGetProcAddressARB(const GLubyte* name)
{
    static const auto real = reinterpret_cast<GetProcAddressFunction>(nextSymbol("glXGetProcAddressARB"));
    return lookUp(real, name);
}

ProcAddress glXGetProcAddress(const GLubyte* name)
{
    static const auto real = reinterpret_cast<GetProcAddressFunction>(nextSymbol("glXGetProcAddress"));
    return lookUp(real, name);
}

void glGenTextures(GLsizei n, GLuint* textures)
{
    static GenFunction real = reinterpret_cast<GenFunction>(nextSymbol("glGenTextures"));
    real(n, textures);
    count(TEXTURES, n, textures, +1);
}

void glDeleteTextures(GLsizei n, const GLuint* textures)
{
    static DeleteFunction real = reinterpret_cast<DeleteFunction>(nextSymbol("glDeleteTextures"));
    count(TEXTURES, n, textures, -1);
    real(n, textures);
}

} // extern "C"
