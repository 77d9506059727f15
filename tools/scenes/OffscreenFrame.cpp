#include "OffscreenFrame.h"

#include "SceneGame.h"

OffscreenFrame::OffscreenFrame()
{
    isComplete = SceneGame::createFramebuffer(&frameBuffer, &texture, &depthStencil);
}

OffscreenFrame::~OffscreenFrame()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &depthStencil);
    glDeleteTextures(1, &texture);
    glDeleteFramebuffers(1, &frameBuffer);
}
