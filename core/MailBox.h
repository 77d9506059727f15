#pragma once

#include <vector>

#include "core/MessagePayload.h"
#include "core/MessageReceiver.h"
#include "core/Messages.h"

// The process-wide message bus. A message goes synchronously to the first
// receiver registered for its kind, inside the sender's call; the bus then
// deletes the payload whether or not anyone received it. Receivers may send
// from inside handleMessage. The bus never owns its receivers.
class MailBox {
public:
    struct ReceiverRegistration {
        MessageReceiver* receiver;
        Message message;
    };

    static MailBox* getInstance();

    void registerReceiver(MessageReceiver* receiver, Message message);
    // Delivers and deletes the payload; true when a receiver got it.
    bool sendMessage(Message message, MessagePayload* payload);
    // Drops every registration of the receiver.
    void removeReceiver(MessageReceiver* receiver);
    void clear();
    static const char* msgToStr(Message message);

private:
    MailBox() = default;
    MailBox(const MailBox&) = delete;
    MailBox& operator=(const MailBox&) = delete;

    std::vector<ReceiverRegistration> registrations;
};
