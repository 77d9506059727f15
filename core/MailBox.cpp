#include "core/MailBox.h"

#include <algorithm>

#include "core/Log.h"

MailBox* MailBox::getInstance()
{
    static MailBox instance;
    return &instance;
}

void MailBox::registerReceiver(MessageReceiver* receiver, Message message)
{
    registrations.push_back({receiver, message});
}

bool MailBox::sendMessage(Message message, MessagePayload* payload)
{
    // Copy the receiver out before the call: a receiver that registers
    // another one while handling would otherwise invalidate the iterator.
    MessageReceiver* target = nullptr;
    for (const ReceiverRegistration& registration : registrations) {
        if (registration.message == message) {
            target = registration.receiver;
            break;
        }
    }
    if (target != nullptr)
        target->handleMessage(message, payload);
    delete payload;
    return target != nullptr;
}

void MailBox::removeReceiver(MessageReceiver* receiver)
{
    registrations.erase(std::remove_if(registrations.begin(), registrations.end(),
                                       [receiver](const ReceiverRegistration& registration) {
                                           return registration.receiver == receiver;
                                       }),
                        registrations.end());
}

void MailBox::clear()
{
    registrations.clear();
}

const char* MailBox::msgToStr(Message message)
{
    switch (message) {
    case MESSAGE_PLAY_GAME_SOUND:
        return "MESSAGE_PLAY_GAME_SOUND";
    case MESSAGE_LOAD_LEVEL:
        return "MESSAGE_LOAD_LEVEL";
    case MESSAGE_PLAYER_RECEIVED_DAMAGE:
        return "MESSAGE_PLAYER_RECEIVED_DAMAGE";
    case MESSAGE_PLAYER_DEAD:
        return "MESSAGE_PLAYER_DEAD";
    default:
        log_warning("Unknown message %d", static_cast<int>(message));
        return "Unknown message";
    }
}
