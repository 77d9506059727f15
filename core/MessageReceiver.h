#pragma once

#include "core/MessagePayload.h"
#include "core/Messages.h"

// Anything the bus delivers to. The payload is valid only during the call.
class MessageReceiver {
public:
    virtual void handleMessage(Message message, MessagePayload* payload) = 0;
    // The receiver's name, for diagnostics.
    virtual const char* whoIsThere() = 0;
    virtual ~MessageReceiver() = default;
};
